// The step before each eject request of a USB mass-storage node, which every removal
// road takes: Explorer windows on removable drives are closed there, so that they cannot
// veto.
#pragma once

class StorageEjectPreparation {
 public:
  virtual ~StorageEjectPreparation() = default;
  virtual void PrepareStorageEject() = 0;
};
