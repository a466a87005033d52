#pragma once
// A reading of the command file to its end split over two threads: a
// worker reads and parses (CommandReader::Read), a chunk of items ahead,
// while the calling thread hands the items to the sink, in file order.
// The items, and what the sink does with them, are those of the reading on
// one thread; only the file may have been read further when the sink
// stops. For a host that reads the file through in one step.

#include "stream/CommandReader.h"

// Reads with `reader` on a worker until the end of the file or until the
// sink stops; `sink` runs on the calling thread. An exception from either
// side ends both and is raised here.
CommandReader::Outcome ReadPiped(CommandReader& reader, ItemSink& sink);
