(include "file.pnd")
