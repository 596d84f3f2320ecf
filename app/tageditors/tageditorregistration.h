#pragma once

// Registers the factory of every tag editor class with TagEditorWidget (and so with the
// toolkit's editor registry that the file table asks). Called once at start-up before the
// first table is shown; further calls do nothing. Always linked: the editor classes are
// reached from here, not through static registrars a static library could drop.
void registerTagEditors();
