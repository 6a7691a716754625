// Output that appears whole or not at all: a file is written under a temporary name in its own
// folder and renamed at the end; a folder is built under a temporary name beside it and renamed
// at the end. On any error (the objects are destroyed before commit) the temporary is removed,
// so no half-written output is ever left under the final name. A temporary file is also removed
// when the run is interrupted (SIGINT, SIGTERM, SIGHUP); a folder's committed files are not.
#pragma once
#include <optional>
#include <string>

#include "core/out_file.h"

class StagedFile {
 public:
  // Creates the temporary file beside `path`; ends the run (status 1) when it cannot.
  explicit StagedFile(std::string path);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  OutFile& out() { return *out_; }
  // Closes the file (checking every write) and renames it to the final name.
  void commit();
  const std::string& path() const { return path_; }

 private:
  std::string path_, temp_;
  std::optional<OutFile> out_;
  bool committed_ = false;
};

class StagedFolder {
 public:
  // Refuses (status 1) a final folder that exists and is not empty, then creates the
  // temporary folder beside it.
  explicit StagedFolder(std::string path);
  ~StagedFolder();
  StagedFolder(const StagedFolder&) = delete;
  StagedFolder& operator=(const StagedFolder&) = delete;

  // The temporary folder, where the files go.
  const std::string& temp() const { return temp_; }
  // Renames the temporary folder to the final name.
  void commit();

 private:
  std::string path_, temp_;
  bool committed_ = false;
};
