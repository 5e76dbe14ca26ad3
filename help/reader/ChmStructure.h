// Checks the directory and the compression parameters of a compiled help file
// (CHM) before chmlib is given it.
#pragma once

class QFile;

// chmlib trusts the directory and the compression parameters of the files it
// opens: a damaged file makes it follow a null decoder, read past its buffers
// or loop for ever. ChmStructure goes over the same structures first, with the
// layout of the ITSF format, so that such a file is refused instead.
class ChmStructure
{
public:
    // Whether chmlib may open the file: its header, its directory chunks and
    // their chains, and the LZX parameters of its compressed space hold
    // together. Reads the open file from its start.
    static bool isSound(QFile &file);
};
