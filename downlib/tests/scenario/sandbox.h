#pragma once

#include <string>
#include <vector>

#include "downlib/tests/scenario/outcome.h"

// The folders a scenario's task writes into: a fresh sandbox folder holding
// an empty target directory and nothing else, so that whatever the task
// writes beside or above the target shows. Paths are in the program's form
// (GBK, "\"); under Wine a Unix folder is reached through Z:.
namespace scenario {

class Sandbox {
 public:
  // <base>/<name>/ emptied and made again, with target/ inside it. `base` is a
  // Unix path; check ok().
  Sandbox(const std::string& unix_base, const std::string& name);

  bool ok() const { return m_problem.empty(); }
  const std::string& problem() const { return m_problem; }
  // The target directory, ending in "\".
  const std::string& target_directory() const { return m_target; }

  std::vector<FoundEntry> target_entries() const;
  // Everything in the sandbox but the target directory.
  std::vector<std::string> strays() const;

 private:
  std::string m_root;
  std::string m_target;
  std::string m_problem;
};

// A Unix path in the program's form.
std::string program_form_of_unix_path(const std::string& unix_path);
// A path of a plan's "absent" line: "/..." is a Unix path, anything else is
// already in the program's form.
std::string program_form_of_plan_path(const std::string& path);
bool path_exists(const std::string& program_path);
// Removes a file or a whole directory tree; true when nothing is left.
bool remove_path(const std::string& program_path);

}  // namespace scenario
