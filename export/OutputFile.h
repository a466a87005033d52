#pragma once
// An output file that readers never see half written: the bytes go to a
// temporary file in the same folder, which replaces the named file only
// once everything was written; on any failure the temporary file is removed
// and the named file is left as it was.
//
//   - A new file gets mode 0666 less the umask; a replaced one keeps its
//     permission bits (not its owner, which only root could keep).
//   - A name that is a symbolic link replaces the file the link points to;
//     the link stays.
//   - An existing output that is not a regular file (a FIFO, a device) is
//     written in place, as a plain open for writing would: opening a FIFO
//     waits for a reader, and a failure there may leave part of the bytes.
//   - An output that is the same file (device and inode) as one of the given
//     inputs, through whatever name, is refused before anything is written.
//
// Reasons are the system's text for the error ("No such file or
// directory"), or a sentence of our own for a refusal; the caller puts the
// file's name before them.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

// The identity of an open or named file.
struct FileId {
  dev_t dev = 0;
  ino_t ino = 0;
  bool operator==(const FileId&) const = default;
};

// The identity of the file `path` names (symbolic links followed) or that
// `fd` is open on; false when there is none (a missing file).
bool FileIdOfPath(const std::string& path, FileId& id);
bool FileIdOfFd(int fd, FileId& id);

class OutputFile {
public:
  OutputFile() = default;
  // Abandons an output that was opened and not committed.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Whether `path` may be written: false, with the reason, when it is one of
  // `inputs`. Open checks this again; a caller checks early to refuse before
  // reading its input.
  static bool Refused(const std::string& path, const std::vector<FileId>& inputs, std::string& reason);

  // Opens the temporary file beside `path` (or `path` itself, in place, when
  // it is not a regular file). False, with Reason(), when it cannot.
  bool Open(const std::string& path, const std::vector<FileId>& inputs = {});
  // The descriptor to write to while open; -1 otherwise.
  int Descriptor() const { return fd; }
  // Writes all of `bytes` (retrying short writes and interruptions). False,
  // with Reason(), on the first failure; later writes then fail at once.
  bool Write(const void* bytes, std::size_t size);
  // Closes the file and puts it in place. False, with Reason(), when the
  // close or the rename fails (the temporary file is then removed).
  bool Commit();
  // Closes and removes the temporary file; the named file stays as it was.
  void Abandon();
  // Records a failure met by whoever wrote through Descriptor().
  void Fail(int error);

  const std::string& Reason() const { return reason; }

private:
  bool fail(int error);

  int fd = -1;
  bool inPlace = false;
  bool failed = false;
  std::string target;  // the file that is replaced
  std::string temp;    // the temporary file beside it
  std::string reason;
};
