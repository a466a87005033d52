#include "stream/PipedRead.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The items between the threads: chunks in file order, at most kAhead of
// them waiting.
class Pipe : public ItemSink {
public:
  static constexpr std::size_t kChunk = 4096, kAhead = 8;

  // Worker side: collects the items into chunks.
  bool TakeItem(zvItem& item) override {
    // Room for the whole chunk at once: a vector that grows copies its
    // items, and a copy keeps only the arguments the item counts.
    if (filling.empty()) filling.reserve(kChunk);
    filling.emplace_back();
    filling.back() = item;  // every argument slot, as the list keeps them
    filling.back().OwnString();
    if (filling.size() == kChunk) return send();
    return true;
  }
  // Worker side: the reading ended with `outcome`, or with an exception.
  void Finish(CommandReader::Outcome outcome, std::exception_ptr failure) {
    send();
    std::lock_guard lock(m);
    done = true;
    result = outcome;
    error = failure;
    changed.notify_all();
  }
  // Calling side: the next chunk, or false when the worker is done and
  // every chunk has been taken.
  bool Take(std::vector<zvItem>& chunk) {
    std::unique_lock lock(m);
    changed.wait(lock, [this] { return !chunks.empty() || done; });
    if (chunks.empty()) return false;
    chunk = std::move(chunks.front());
    chunks.pop_front();
    changed.notify_all();
    return true;
  }
  // Calling side: the worker is to stop at its next chunk.
  void Stop() {
    std::lock_guard lock(m);
    stopped = true;
    changed.notify_all();
  }
  CommandReader::Outcome Result() const { return result; }
  std::exception_ptr Error() const { return error; }

private:
  // Hands the filled chunk over; false when the calling side stopped.
  bool send() {
    std::unique_lock lock(m);
    changed.wait(lock, [this] { return chunks.size() < kAhead || stopped; });
    if (stopped) return false;
    if (!filling.empty()) chunks.push_back(std::move(filling));
    filling.clear();
    changed.notify_all();
    return true;
  }

  std::vector<zvItem> filling;  // the worker's
  std::mutex m;
  std::condition_variable changed;
  std::deque<std::vector<zvItem>> chunks;
  bool done = false, stopped = false;
  CommandReader::Outcome result = CommandReader::Outcome::Drained;
  std::exception_ptr error;
};

}  // namespace

CommandReader::Outcome ReadPiped(CommandReader& reader, ItemSink& sink) {
  Pipe pipe;
  std::thread worker([&] {
    try {
      pipe.Finish(reader.Read(pipe), nullptr);
    } catch (...) {
      pipe.Finish(CommandReader::Outcome::Stopped, std::current_exception());
    }
  });
  // However the calling side ends, the worker stops and is joined first.
  struct Join {
    Pipe& pipe;
    std::thread& worker;
    ~Join() {
      pipe.Stop();
      worker.join();
    }
  } join{pipe, worker};
  std::vector<zvItem> chunk;
  while (pipe.Take(chunk))
    for (zvItem& item : chunk)
      if (!sink.TakeItem(item)) return CommandReader::Outcome::Stopped;
  if (pipe.Error()) std::rethrow_exception(pipe.Error());
  return pipe.Result();
}
