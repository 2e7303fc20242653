// A mutable argv built from texts, as main() receives it (element 0 is the
// program), for tests of the option parsers, which blank what they consume.
#pragma once

#include <string>
#include <vector>

namespace tinrise::test {

struct Arguments {
  explicit Arguments(std::vector<std::string> texts) : storage(std::move(texts)) {
    storage.insert(storage.begin(), "tinrise");
    for (std::string& text : storage) pointers.push_back(text.data());
  }
  int argc() const { return static_cast<int>(pointers.size()); }
  char** argv() { return pointers.data(); }
  // The arguments no parser blanked.
  std::vector<std::string> left() const {
    std::vector<std::string> rest;
    for (std::size_t i = 1; i < pointers.size(); i++) {
      if (pointers[i][0] != '\0') rest.push_back(pointers[i]);
    }
    return rest;
  }

  std::vector<std::string> storage;
  std::vector<char*> pointers;
};

}  // namespace tinrise::test
