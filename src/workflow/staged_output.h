// Output that appears whole or not at all, and never over an input. A regular file is written
// under a short temporary name in its own folder (".protfeat-XXXXXX") and replaces the old file
// at the end, keeping its mode; a folder is built under such a name beside it and renamed at the
// end. On any error (the objects are destroyed before commit) and on the signals that end a run
// (`signal_cleanup.h`) the temporaries are removed, so no half-written output is ever left under
// the final name. What cannot be replaced is written through in place: standard output ("-", or
// the file standard output is), a device, a FIFO. Errors name the final file, never the
// temporary.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/out_file.h"

// Ends the run (status 1) when the output `path` ("-": standard output), or anything inside it
// when it is a folder, is the same file as one of the regular files `inputs` ("-": standard
// input), through whatever path or link: an output never replaces an input.
void refuse_output_over_inputs(const std::string& path, const std::vector<std::string>& inputs);

class StagedFile {
 public:
  // Makes the temporary file (or opens the output written through); ends the run (status 1) when
  // it cannot. A link to a regular file stays a link: the file it points to is replaced.
  explicit StagedFile(const std::string& path);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  OutFile& out() { return *out_; }
  // Closes the file (checking every write) and puts it in place.
  void commit();
  // The output goes to standard output, where nothing else may be written.
  bool on_standard_output() const { return onStandardOutput_; }

 private:
  std::string target_, temp_;  // no temporary: written in place
  std::optional<OutFile> out_;
  uint64_t entry_ = 0;
  bool onStandardOutput_ = false, committed_ = false;
};

class StagedFolder {
 public:
  // Refuses (status 1) a final folder that exists and is not empty, then creates the
  // temporary folder beside it (with the mode of the empty folder it will replace).
  explicit StagedFolder(std::string path);
  // The same refusal alone, so that a command can make it before any work.
  static void check(const std::string& path);
  ~StagedFolder();
  StagedFolder(const StagedFolder&) = delete;
  StagedFolder& operator=(const StagedFolder&) = delete;

  // Creates the folder `relative` inside (its parent first).
  void add_folder(const std::string& relative);
  // Creates the file `relative` inside; its errors name it as it is named once committed.
  OutFile add_file(const std::string& relative);
  // Renames the temporary folder to the final name.
  void commit();

 private:
  std::string inside(const std::string& relative) const { return temp_ + "/" + relative; }
  std::string final_name(const std::string& relative) const { return path_ + "/" + relative; }

  std::string path_, temp_;
  std::vector<uint64_t> entries_;  // the temporary folder, then what was made in it, in order
  bool committed_ = false;
};
