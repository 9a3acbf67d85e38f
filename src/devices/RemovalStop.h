// Whether the one who started a removal has given up on it. A removal that is told to
// stop makes no further eject request (and no preparation for one): the user who chose
// to stop must not see device after device go. A request already made runs to its end.
#pragma once

class RemovalStop {
 public:
  virtual ~RemovalStop() = default;
  virtual bool StopAsked() const = 0;
};
