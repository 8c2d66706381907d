// The step: fetch the word at PC and call its handler.
#include "sim/Decoexec.h"

namespace sim {

void EmptyOp() {}

// Both masks keep an out-of-range PC or a stray 16-bit word inside ProgMem and DecodeTable.
void Step() {
    DecodeTable[CurrentWord() & kWordMask]();
}

}  // namespace sim
