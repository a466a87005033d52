#pragma once
// The pixel rows of a PNG as one zlib stream, coded for runs (zlib's
// run-length strategy, level 1). On one thread the rows go through one
// deflate stream. On more, bands of rows are deflated on their own, each
// on whichever thread is free, and joined in order: each band but the last
// ends on a byte boundary without ending the stream, and the checksum of the
// whole is combined from those of the bands. Runs are coded at a distance
// of one byte only, so a band loses nothing by not seeing the band before
// it but a run cut at its first byte; a reader decodes the same rows.
//
// At most a few bands wait to be handed over at any time, so the memory in
// use stays a few bands whatever the picture's size.

#include <cstddef>
#include <functional>

// Writes the bytes of row y (its filter byte first) to `out`, rowBytes long.
using PngRowPacker = std::function<void(int y, unsigned char* out)>;
// Receives the stream's bytes in order; false when it could not take them,
// which stops the coding.
using PngStreamSink = std::function<bool(const unsigned char* bytes, std::size_t size)>;

// The number of threads to code with when none is asked for: the processors
// this process may run on.
int PngDefaultThreads();

// Codes `rows` rows of rowBytes each (the packer is called from any of the
// threads, once a row) into `sink` (called on the calling thread only).
// threads: 1 or less codes on the calling thread alone, as one deflate
// stream. False when memory runs out, deflate fails or the sink refuses.
bool DeflateRows(int rows, std::size_t rowBytes, const PngRowPacker& pack, int threads,
                 const PngStreamSink& sink);
