#include <utility>

#include "robot_sim.h"

namespace robotsim {

Findable::Findable(std::function<void()> undo) : undo_(std::move(undo)) {}

Findable::Findable(Findable&& other) noexcept : undo_(std::move(other.undo_)) {
  other.undo_ = nullptr;
}

Findable& Findable::operator=(Findable&& other) noexcept {
  if (this != &other) {
    Undo();
    undo_ = std::move(other.undo_);
    other.undo_ = nullptr;
  }
  return *this;
}

Findable::~Findable() { Undo(); }

void Findable::Undo() {
  std::function<void()> undo;
  undo.swap(undo_);
  if (undo) undo();
}

}  // namespace robotsim
