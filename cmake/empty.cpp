// Stands in for the sources of a library whose folders bring none yet.
