#pragma once
// The texts with which the sound bank and wave readers report damaged data.

#include "assets/data_error.h"

namespace kolbet {

// The data ends before a value, a header or the samples are complete.
inline DataError StreamReadError() { return DataError("Stream-Read-Fehler"); }

// The bank lacks its resource header or its "TPF0" signature, or holds a value
// the reader does not know.
inline DataError InvalidStreamFormat() { return DataError("Ungültiges Stream-Format"); }

// A wave that does not begin with "RIFF" and "WAVE".
inline DataError WaveInvalid() { return DataError("Wave is invalid"); }

}  // namespace kolbet
