// Ejections that outlive the process which asked for them: a removed device stays
// removed for the resident program, the command line and the next opening of the sheet
// alike, until the tree file itself changes (a device plugged in again).
//
// The record is a small text file beside the tree: the tree file's stamp on its first
// line ("tree <modified> <size>"), then the line number of each ejected node.
#pragma once

#include <optional>
#include <vector>

#include "FileBytes.h"

class SharedEjections {
 public:
  explicit SharedEjections(NativePath record) : record_(std::move(record)) {}

  // The record that belongs beside `treeFile`.
  static NativePath RecordFor(const NativePath& treeFile);

  // The lines ejected from the version of the tree that `treeStamp` names; none when
  // the record is missing, unreadable or kept for another version.
  std::vector<int> Read(const std::optional<FileStamp>& treeStamp) const;

  // Adds `line` for that version, starting a new record when the old one is stale.
  void Record(const std::optional<FileStamp>& treeStamp, int line) const;

  // What tells a change of the record from the outside.
  std::optional<FileStamp> Stamp() const { return StampOfFile(record_); }

 private:
  NativePath record_;
};
