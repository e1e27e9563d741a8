#pragma once
// The reset list: every module that keeps process-wide mutable state adds one function that puts that
// state back as it was when the process started. The desktop's reset runs them all, so that each test
// starts on a fresh process without starting one. A new mutable global joins the list in the file
// that defines it.
//
// Modules add themselves during static initialisation (`const bool kReset = ResetList::Add(...)` in the
// file that owns the state), so a module the program does not link is not on the list either. A reset
// function touches only its own module's state: the list runs in no promised order. Everything here
// belongs to the user-interface thread.

#include <functional>
#include <string>
#include <vector>

namespace plat {

class ResetList {
 public:
  // Adds a reset function under a name that says whose state it resets; answers true so that a
  // namespace-scope constant can hold the answer.
  static bool Add(std::string name, std::function<void()> reset);
  // Runs every reset function once, in the order they were added.
  static void RunAll();
  // The names on the list, in order (for tests and for finding what a reset forgot).
  static std::vector<std::string> Names();
};

}  // namespace plat
