#include "options/open/las_writer_factory.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "las/io/las_writer_las.h"
#include "options/open/las_reader_factory.h"

namespace tinrise {
namespace {

bool is(const char* arg, const char* option) { return std::strcmp(arg, option) == 0; }

void blank(char* argument) { argument[0] = '\0'; }

bool is_separator(char c) { return c == '/' || c == ':' || c == '\\'; }

// Position of the last '.', '/', ':' or '\' at index 1 or later, or npos.
std::size_t last_mark(const std::string& name) {
  for (std::size_t p = name.size(); p-- > 1;) {
    if (name[p] == '.' || is_separator(name[p])) return p;
  }
  return std::string::npos;
}

// Start of the base name: just after the last separator at index 1 or later.
std::size_t base_start(const std::string& name) {
  for (std::size_t p = name.size(); p-- > 1;) {
    if (is_separator(name[p])) return p + 1;
  }
  return 0;
}

int format_of_extension(const std::string& extension) {
  auto has = [&](const char* lower, const char* upper) {
    return extension.find(lower) != std::string::npos || extension.find(upper) != std::string::npos;
  };
  if (has("kpz", "KPZ")) return LAS_FORMAT_KPZ;
  if (has("las", "LAS")) return LAS_FORMAT_LAS;
  if (has("bin", "BIN")) return LAS_FORMAT_BIN;
  if (has("qi", "QI")) return LAS_FORMAT_QFIT;
  if (has("wrl", "WRL")) return LAS_FORMAT_VRML;
  return LAS_FORMAT_TXT;
}

}  // namespace

bool LASwriterFactory::parse(int argc, char* argv[]) {
  for (int i = 1; i < argc; i++) {
    char* arg = argv[i];
    if (arg[0] == '\0') continue;
    auto take = [&](const char* what) -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "ERROR: '%s' needs 1 argument: %s\n", arg, what);
        return nullptr;
      }
      blank(arg);
      return argv[++i];
    };
    auto fixed = [&](int code) {
      set_format(code);
      blank(arg);
    };
    if (is(arg, "-h")) {
      usage();
      return true;
    } else if (is(arg, "-o")) {
      const char* value = take("file_name");
      if (!value) return false;
      set_output_name(value);
      blank(argv[i]);
    } else if (is(arg, "-odir")) {
      const char* value = take("directory");
      if (!value) return false;
      if (!set_output_directory(value)) {
        std::fprintf(stderr, "ERROR: '%s' is not a valid directory\n", value);
        return false;
      }
      blank(argv[i]);
    } else if (is(arg, "-odix")) {
      const char* value = take("appendix");
      if (!value) return false;
      set_name_appendix(value);
      blank(argv[i]);
    } else if (is(arg, "-ocut")) {
      const char* value = take("number of characters to cut");
      if (!value) return false;
      set_cut_count(static_cast<unsigned>(std::atoi(value)));
      blank(argv[i]);
    } else if (is(arg, "-oforce")) {
      force = true;
      blank(arg);
    } else if (is(arg, "-native")) {
      native = true;
      blank(arg);
    } else if (is(arg, "-no_native")) {
      native = false;
      blank(arg);
    } else if (is(arg, "-olas")) {
      fixed(LAS_FORMAT_LAS);
    } else if (is(arg, "-okpz")) {
      fixed(LAS_FORMAT_KPZ);
    } else if (is(arg, "-otxt")) {
      fixed(LAS_FORMAT_TXT);
    } else if (is(arg, "-obin")) {
      fixed(LAS_FORMAT_BIN);
    } else if (is(arg, "-oqi")) {
      fixed(LAS_FORMAT_QFIT);
    } else if (is(arg, "-owrl")) {
      fixed(LAS_FORMAT_VRML);
    } else if (is(arg, "-stdout")) {
      to_stdout = true;
      to_nil = false;
      blank(arg);
    } else if (is(arg, "-nil")) {
      to_nil = true;
      to_stdout = false;
      blank(arg);
    } else if (is(arg, "-chunk_size")) {
      const char* value = take("number_points");
      if (!value) return false;
      chunk_size = static_cast<std::uint32_t>(std::atoi(value));
      blank(argv[i]);
    } else if (is(arg, "-oparse")) {
      const char* value = take("string");
      if (!value) return false;
      parse_text = value;
      blank(argv[i]);
    } else if (is(arg, "-osep")) {
      const char* value = take("separator");
      if (!value) return false;
      separator = value;
      blank(argv[i]);
    } else if (is(arg, "-oscale_rgb")) {
      const char* value = take("scale");
      if (!value) return false;
      rgb_scale = static_cast<float>(std::atof(value));
      blank(argv[i]);
    } else if (is(arg, "-opts")) {
      text_pts = true;
      blank(arg);
    } else if (is(arg, "-optx")) {
      text_ptx = true;
      blank(arg);
    } else if (is(arg, "-io_obuffer")) {
      const char* value = take("size");
      if (!value) return false;
      write_buffer_size = static_cast<std::uint32_t>(std::atoi(value));
      blank(argv[i]);
    }
  }
  return true;
}

void LASwriterFactory::usage() const {
  static const char* const lines[] = {
      "Supported LAS Outputs\n",
      "  -o lidar.las\n",
      "  -o lidar.kpz\n",
      "  -o xyzta.txt -oparse xyzta (on-the-fly to ASCII)\n",
      "  -o terrasolid.bin\n",
      "  -o nasa.qi\n",
      "  -odir C:\\data\\ground (specify output directory)\n",
      "  -odix _classified (specify file name appendix)\n",
      "  -ocut 2 (cut the last two characters from name)\n",
      "  -olas -okpz -otxt -obin -oqfit (specify format)\n",
      "  -stdout (pipe to stdout)\n",
      "  -nil    (pipe to NULL)\n",
  };
  for (const char* line : lines) std::fputs(line, stderr);
}

const char* LASwriterFactory::format_extension() const {
  switch (format) {
    case LAS_FORMAT_DEFAULT:
    case LAS_FORMAT_LAS: return "las";
    case LAS_FORMAT_KPZ: return "kpz";
    case LAS_FORMAT_BIN: return "bin";
    case LAS_FORMAT_QFIT: return "qi";
    case LAS_FORMAT_VRML: return "wrl";
    default: return "txt";
  }
}

int LASwriterFactory::output_format() const {
  if (format_fixed || file_name.empty()) return format;
  auto has = [&](const char* lower, const char* upper) {
    return file_name.find(lower) != std::string::npos || file_name.find(upper) != std::string::npos;
  };
  if (has(".kpz", ".KPZ")) return LAS_FORMAT_KPZ;
  if (has(".las", ".LAS")) return LAS_FORMAT_LAS;
  if (has(".bin", ".BIN")) return LAS_FORMAT_BIN;
  if (has(".qi", ".QI")) return LAS_FORMAT_QFIT;
  if (has(".wrl", ".WRL")) return LAS_FORMAT_VRML;
  return LAS_FORMAT_TXT;
}

const char* LASwriterFactory::output_format_extension() const { return las_format_name(output_format()); }

void LASwriterFactory::set_output_name(const char* name) {
  file_name = name ? name : "";
  while (!file_name.empty() && file_name.back() == ' ') file_name.pop_back();
  if (file_name.empty()) return;
  const std::size_t dot = file_name.rfind('.');
  const bool has_extension = dot != std::string::npos && dot + 4 >= file_name.size();
  if (has_extension) {
    if (!format_fixed) format = format_of_extension(file_name.substr(dot + 1));
  } else {
    file_name += '.';
    file_name += format_extension();
  }
  if (!directory.empty()) apply_directory();
  if (cut > 0) apply_cut();
  if (!appendix.empty()) apply_appendix();
}

bool LASwriterFactory::set_output_directory(const char* text) {
  const std::string value = text ? text : "";
  if (value.find('"') != std::string::npos || value.find(';') != std::string::npos) {
    std::fprintf(stderr, "WARNING: specified '-odir' seems to contain a substring '\\\"' such\n");
    std::fprintf(stderr, "         as -odir \"D:\\\" or -odir \"..\\tiles\\\". this command will\n");
    std::fprintf(stderr, "         probably fail. please use -odir \"D:\" or -odir \"..\\tiles\"\n");
    std::fprintf(stderr, "         instead.\n");
  }
  directory = value;
  if (!directory.empty() && (directory.back() == '/' || directory.back() == '\\')) directory.pop_back();
  if (!file_name.empty()) apply_directory();
  if (value.empty() || directory.empty() || directory.back() == ':') return true;
  struct stat status;
  return stat(directory.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

void LASwriterFactory::set_name_appendix(const char* text) {
  appendix = text ? text : "";
  if (!file_name.empty() && !appendix.empty()) apply_appendix();
}

void LASwriterFactory::set_cut_count(unsigned count) {
  cut = count;
  if (!file_name.empty() && cut > 0) apply_cut();
}

void LASwriterFactory::apply_directory() {
  const std::string base = file_name.substr(base_start(file_name));
  file_name = directory.empty() ? base : directory + "/" + base;
}

void LASwriterFactory::apply_cut() {
  const std::size_t mark = last_mark(file_name);
  const std::size_t start = base_start(file_name);
  const std::size_t end = mark != std::string::npos && file_name[mark] == '.' ? mark : file_name.size();
  // A cut never reaches into the directory part of the name.
  const std::size_t removed = std::min<std::size_t>(cut, end - start);
  file_name.erase(end - removed, removed);
}

void LASwriterFactory::apply_appendix() {
  const std::size_t mark = last_mark(file_name);
  if (mark != std::string::npos && file_name[mark] == '.') {
    file_name.insert(mark, appendix);
  } else {
    file_name += appendix;
  }
}

void LASwriterFactory::derive_output_name(const char* input_name, int number) {
  const std::string extension = format_extension();
  if (number <= -1) {
    if (input_name) {
      std::string name = input_name;
      const std::size_t start = base_start(name);
      std::size_t p = name.size();
      for (std::size_t k = name.size(); k-- > 1;) {
        if (name[k] == '.') {
          p = k;
          break;
        }
        if (is_separator(name[k])) break;
      }
      p = p - std::min<std::size_t>(cut, p - start);
      name.resize(p);
      if (!appendix.empty()) {
        name += appendix;
      } else if (directory.empty() && cut == 0 && number == -1) {
        name += "_1";
      }
      file_name = name + "." + extension;
    } else {
      file_name = "output." + extension;
    }
  } else {
    std::string name;
    if (input_name) {
      name = input_name;
      const std::size_t dot = name.rfind('.');
      if (dot != std::string::npos && dot >= base_start(name) && dot > 0) name.resize(dot);
      const std::size_t start = base_start(name);
      name.resize(name.size() - std::min<std::size_t>(cut, name.size() - start));
    } else if (!file_name.empty()) {
      name = file_name;
      const std::size_t dot = name.rfind('.');
      if (dot != std::string::npos && dot > 0) name.resize(dot);
    } else {
      name = "output_0000000";
    }
    // Overwrite the digits just before the extension, right to left.
    std::size_t p = name.size();
    int rest = number;
    while (p > 1 && name[p - 1] >= '0' && name[p - 1] <= '9') {
      name[--p] = static_cast<char>('0' + rest % 10);
      rest /= 10;
    }
    if (rest != 0) {
      std::fprintf(stderr, "WARNING: file name number %d too big to store in '%s'. use more digits.\n", number,
                   name.c_str());
    }
    file_name = name + "." + extension;
  }
  if (!directory.empty()) apply_directory();
  if (input_name && file_name == input_name && !force) {
    const std::string changed = "temp." + extension;
    std::fprintf(stderr, "WARNING: generated output name '%s'\n", input_name);
    std::fprintf(stderr, "         identical to input name. changed to '%s'.\n", changed.c_str());
    std::fprintf(stderr, "         you can override this safety measure with '-oforce'.\n");
    file_name = changed;
  }
}

std::unique_ptr<LASwriter> LASwriterFactory::open(const LASheader& header) {
  const std::uint16_t compressor = format == LAS_FORMAT_KPZ ? (native ? 3 : 2) : 0;
  const int chunk = static_cast<int>(chunk_size);
  auto writer = std::make_unique<LASwriterLAS>();
  if (to_nil) {
    if (!writer->open(&header, compressor, 2, chunk)) {
      std::fprintf(stderr, "ERROR: cannot open laswriterlas to NULL\n");
      return nullptr;
    }
    return writer;
  }
  if (!file_name.empty() || to_stdout) {
    if (format > LAS_FORMAT_KPZ) {
      if (format <= LAS_FORMAT_TXT) {
        std::fprintf(stderr, "ERROR: cannot write '%s': %s output is not supported by this build\n",
                     file_name.empty() ? "stdout" : file_name.c_str(), las_format_name(format));
      } else {
        std::fprintf(stderr, "ERROR: unknown format %d\n", format);
      }
      return nullptr;
    }
    if (!file_name.empty()) {
      if (!writer->open(file_name.c_str(), &header, compressor, 2, chunk, static_cast<int>(write_buffer_size))) {
        std::fprintf(stderr, "ERROR: cannot open laswriterlas with file name '%s'\n", file_name.c_str());
        return nullptr;
      }
    } else if (!writer->open(stdout, &header, compressor, 2, chunk)) {
      std::fprintf(stderr, "ERROR: cannot open laswriterlas to stdout\n");
      return nullptr;
    }
    return writer;
  }
  std::fprintf(stderr, "ERROR: no laswriter output specified\n");
  return nullptr;
}

}  // namespace tinrise
