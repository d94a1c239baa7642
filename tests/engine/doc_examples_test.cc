// Runs the examples marked in docs/*.md, so that the user documentation and
// pendcal cannot drift apart.
//
// Marking an example. Put an HTML comment (invisible on the rendered page)
// on its own line right before a code block, either indented by four spaces
// or fenced with ```:
//
//   <!-- file: NAME -->    the block is written to the file NAME;
//   <!-- run -->           the block's first line is "$ pendcal ARGS" and
//                          the other lines are exactly what that prints;
//   <!-- run, exit N -->   the same, with exit status N (0 otherwise).
//
// With -k in ARGS the lines shown are standard error's, then standard
// output's.
//
// A file the reader need not see can stand in the comment itself:
//
//   <!-- file: NAME
//   jul 7 remind [Birthday].
//   -->
//
// Each run starts in a fresh directory, which is also the profile directory,
// holding every file marked so far in the same document (a later file of the
// same name replaces the earlier). ARGS are split at blanks. Give a date in
// ARGS, so that the output does not depend on today.
#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/pendcal_harness.h"
#include "gtest/gtest.h"

namespace {

struct Example {
  std::string place;  // "docs/x.md:12"
  std::map<std::string, std::string> files;
  std::vector<std::string> args;
  std::string output;
  int status = 0;
};

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The code block that starts at or after lines[*i] (blank lines first are
// skipped); *i ends past it. Each line of the result ends with "\n". False
// when no block follows.
bool CodeBlock(const std::vector<std::string>& lines, size_t* i, std::string* block) {
  while (*i < lines.size() && lines[*i].empty()) ++*i;
  if (*i == lines.size()) return false;
  block->clear();
  if (startsWith(lines[*i], "```")) {
    for (++*i; *i < lines.size() && !startsWith(lines[*i], "```"); ++*i) *block += lines[*i] + "\n";
    if (*i == lines.size()) return false;
    ++*i;
    return true;
  }
  if (!startsWith(lines[*i], "    ")) return false;
  size_t end = *i;
  for (size_t j = *i; j < lines.size() && (lines[j].empty() || startsWith(lines[j], "    ")); ++j)
    if (!lines[j].empty()) end = j + 1;
  for (; *i < end; ++*i) *block += (lines[*i].empty() ? "" : lines[*i].substr(4)) + "\n";
  return true;
}

// The examples of one document, in order.
std::vector<Example> ExamplesOf(const std::string& path, const std::string& shownName) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);

  std::vector<Example> examples;
  std::map<std::string, std::string> files;
  for (size_t i = 0; i < lines.size();) {
    const std::string line = lines[i++];
    std::string place = shownName + ":" + std::to_string(i);
    if (startsWith(line, "<!-- file: ")) {
      std::string name = line.substr(11);
      std::string text;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, " -->") == 0) {
        name.resize(name.size() - 4);
        if (!CodeBlock(lines, &i, &text)) ADD_FAILURE() << place << ": no code block after it";
      } else {
        for (; i < lines.size() && lines[i] != "-->"; ++i) text += lines[i] + "\n";
        ++i;
      }
      files[name] = text;
    } else if (startsWith(line, "<!-- run")) {
      Example e;
      e.place = place;
      e.files = files;
      size_t exit = line.find("exit ");
      if (exit != std::string::npos) e.status = std::atoi(line.c_str() + exit + 5);
      std::string block;
      if (!CodeBlock(lines, &i, &block) || !startsWith(block, "$ pendcal")) {
        ADD_FAILURE() << place << ": no block starting with \"$ pendcal\" after it";
        continue;
      }
      size_t firstEnd = block.find('\n');
      std::istringstream words(block.substr(9, firstEnd - 9));
      for (std::string w; words >> w;) e.args.push_back(w);
      e.output = block.substr(firstEnd + 1);
      examples.push_back(e);
    }
  }
  return examples;
}

TEST(DocExamples, EveryMarkedExampleRunsAsShown) {
  const std::string docs = PENDRA_SOURCE_DIR "/docs/";
  std::vector<std::string> names;
  if (DIR* dir = opendir(docs.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name.size() > 3 && name.compare(name.size() - 3, 3, ".md") == 0) names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());

  int runs = 0;
  for (const std::string& name : names) {
    for (const Example& e : ExamplesOf(docs + name, "docs/" + name)) {
      // With -k the two streams are shown apart from each other: messages
      // first, then the report (their interleaving is up to the system).
      pendcal_test::Options options;
      options.separateErrors = std::find(e.args.begin(), e.args.end(), "-k") != e.args.end();
      pendcal_test::Result r = pendcal_test::RunPendcal(e.args, e.files, options);
      EXPECT_EQ(e.output, r.err + r.out) << e.place;
      EXPECT_EQ(e.status, r.status) << e.place;
      ++runs;
    }
  }
  // The documents hold examples: finding none means the marking broke.
  EXPECT_GE(runs, 10);
}

}  // namespace
