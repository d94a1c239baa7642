// Shell scripts that stand in for pendcal, written into a fresh temporary
// directory whose name holds a space and a quote, so that any use of a
// shell or an unquoted command line would start the wrong thing.
#ifndef PENDRA_TESTS_GUI_STAND_IN_ENGINES_H_
#define PENDRA_TESTS_GUI_STAND_IN_ENGINES_H_

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class StandInEngines {
 public:
  StandInEngines() {
    std::string name = (std::filesystem::temp_directory_path() / "pendra engine's dir XXXXXX");
    if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    directory_ = name + "/";
  }
  ~StandInEngines() { std::filesystem::remove_all(directory_); }
  StandInEngines(const StandInEngines&) = delete;
  StandInEngines& operator=(const StandInEngines&) = delete;

  // Writes "#!/bin/sh" and the body to a file of that name; returns its path.
  std::string write(const std::string& name, const std::string& body, bool executable = true) {
    std::string path = directory_ + name;
    {
      std::ofstream out(path, std::ios::binary);
      out << "#!/bin/sh\n" << body;
    }
    chmod(path.c_str(), executable ? 0755 : 0644);
    return path;
  }

  // A path in the directory where nothing is.
  std::string missing() const { return directory_ + "pendcal"; }

  const std::string& directory() const { return directory_; }

 private:
  std::string directory_;  // with its trailing "/"
};

#endif  // PENDRA_TESTS_GUI_STAND_IN_ENGINES_H_
