#pragma once

class IoStream;

// Throws the Exception for a stream whose format this build cannot read or write yet.
[[noreturn]] void throwUnsupportedFormat(IoStream *stream);
