#include "options/open/las_reader_factory.h"

#include <glob.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "index/las_index.h"
#include "las/io/las_reader_las.h"
#include "options/process/las_point_filter.h"
#include "options/process/las_point_transform.h"

namespace tinrise {
namespace {

bool is(const char* arg, const char* option) { return std::strcmp(arg, option) == 0; }

void blank(char* argument) { argument[0] = '\0'; }

bool contains(const std::string& text, const char* lower, const char* upper) {
  return text.find(lower) != std::string::npos || text.find(upper) != std::string::npos;
}

bool needs(int argc, int i, int count, const char* message, const char* option) {
  if (i + count < argc) return true;
  std::fprintf(stderr, message, option);
  return false;
}

// The reader kinds by the name's extension, tested in this order.
enum class ReaderKind { las, bin, shp, qfit, asc, bil, dtm, txt };

ReaderKind reader_kind(const std::string& name) {
  if (contains(name, ".las", ".LAS") || contains(name, ".kpz", ".KPZ")) return ReaderKind::las;
  if (contains(name, ".bin", ".BIN")) return ReaderKind::bin;
  if (contains(name, ".shp", ".SHP")) return ReaderKind::shp;
  if (contains(name, ".qi", ".QI")) return ReaderKind::qfit;
  if (contains(name, ".asc", ".ASC")) return ReaderKind::asc;
  if (contains(name, ".bil", ".BIL")) return ReaderKind::bil;
  if (contains(name, ".dtm", ".DTM")) return ReaderKind::dtm;
  return ReaderKind::txt;
}

const char* reader_kind_name(ReaderKind kind) {
  switch (kind) {
    case ReaderKind::las: return "LAS";
    case ReaderKind::bin: return "Terrasolid BIN";
    case ReaderKind::shp: return "shapefile";
    case ReaderKind::qfit: return "QFIT";
    case ReaderKind::asc: return "ASCII grid";
    case ReaderKind::bil: return "BIL raster";
    case ReaderKind::dtm: return "DTM raster";
    case ReaderKind::txt: return "text";
  }
  return "";
}

}  // namespace

const char* las_format_name(int format) {
  static const char* const names[] = {"las", "las", "kpz", "bin", "qi", "wrl", "txt", "shp", "asc", "bil", "flt", "dtm"};
  return format >= 0 && format <= 11 ? names[format] : "txt";
}

LASreaderFactory::LASreaderFactory() = default;
LASreaderFactory::~LASreaderFactory() = default;

bool LASreaderFactory::parse(int argc, char* argv[]) {
  for (int i = 1; i < argc; i++) {
    char* arg = argv[i];
    if (arg[0] == '\0') continue;
    if (is(arg, "-h")) {
      LASpointFilter().usage();
      LASpointTransform().usage();
      usage();
      return true;
    } else if (is(arg, "-i")) {
      if (i + 1 >= argc || argv[i + 1][0] == '-' || argv[i + 1][0] == '\0') {
        std::fprintf(stderr, "ERROR: '%s' needs at least 1 argument: file_name or wild_card\n", arg);
        return false;
      }
      blank(arg);
      while (i + 1 < argc && argv[i + 1][0] != '-' && argv[i + 1][0] != '\0') {
        add_input(argv[i + 1], unique);
        blank(argv[++i]);
      }
    } else if (is(arg, "-unique")) {
      unique = true;
      blank(arg);
    } else if (std::strncmp(arg, "-inside", 7) == 0) {
      if (is(arg, "-inside_tile")) {
        if (!needs(argc, i, 3, "ERROR: '%s' needs 3 arguments: ll_x, ll_y, size\n", arg)) return false;
        area_tile = std::array<float, 3>{static_cast<float>(std::atof(argv[i + 1])),
                                         static_cast<float>(std::atof(argv[i + 2])),
                                         static_cast<float>(std::atof(argv[i + 3]))};
        for (int k = 0; k <= 3; k++) blank(argv[i + k]);
        i += 3;
      } else if (is(arg, "-inside_circle")) {
        if (!needs(argc, i, 3, "ERROR: '%s' needs 3 arguments: center_x, center_y, radius\n", arg)) return false;
        area_circle = std::array<double, 3>{std::atof(argv[i + 1]), std::atof(argv[i + 2]), std::atof(argv[i + 3])};
        for (int k = 0; k <= 3; k++) blank(argv[i + k]);
        i += 3;
      } else if (is(arg, "-inside") || is(arg, "-inside_rectangle")) {
        if (!needs(argc, i, 4, "ERROR: '%s' needs 4 arguments: min_x, min_y, max_x, max_y\n", arg)) return false;
        set_area_rectangle(std::atof(argv[i + 1]), std::atof(argv[i + 2]), std::atof(argv[i + 3]),
                           std::atof(argv[i + 4]));
        for (int k = 0; k <= 4; k++) blank(argv[i + k]);
        i += 4;
      } else {
        std::fprintf(stderr, "ERROR: unknown '-inside' option '%s'\n", arg);
        return false;
      }
    } else if (is(arg, "-comma_not_point")) {
      comma_not_point = true;
      blank(arg);
    } else if (is(arg, "-stdin")) {
      read_stdin = true;
      blank(arg);
    } else if (is(arg, "-lof")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: list_of_files\n", arg)) return false;
      if (!add_input_list(argv[i + 1], false)) {
        std::fprintf(stderr, "ERROR: cannot load list of files '%s'\n", argv[i + 1]);
        return false;
      }
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-rescale")) {
      if (!needs(argc, i, 3, "ERROR: '%s' needs 3 arguments: rescale_x rescale_y rescale_z\n", arg)) return false;
      scale_factor = std::array<double, 3>{std::atof(argv[i + 1]), std::atof(argv[i + 2]), std::atof(argv[i + 3])};
      for (int k = 0; k <= 3; k++) blank(argv[i + k]);
      i += 3;
    } else if (is(arg, "-rescale_xy")) {
      if (!needs(argc, i, 2, "ERROR: '%s' needs 2 argument: rescale_x rescale_y\n", arg)) return false;
      scale_factor = std::array<double, 3>{std::atof(argv[i + 1]), std::atof(argv[i + 2]), 0.0};
      for (int k = 0; k <= 2; k++) blank(argv[i + k]);
      i += 2;
    } else if (is(arg, "-rescale_z")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: scale\n", arg)) return false;
      scale_factor = std::array<double, 3>{0.0, 0.0, std::atof(argv[i + 1])};
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-reoffset")) {
      if (!needs(argc, i, 3, "ERROR: '%s' needs 3 arguments: reoffset_x, reoffset_y, reoffset_z\n", arg)) return false;
      offset = std::array<double, 3>{std::atof(argv[i + 1]), std::atof(argv[i + 2]), std::atof(argv[i + 3])};
      for (int k = 0; k <= 3; k++) blank(argv[i + k]);
      i += 3;
    } else if (is(arg, "-auto_reoffset")) {
      auto_reoffset = true;
      blank(arg);
    } else if (is(arg, "-files_are_flightlines") || is(arg, "-faf")) {
      blank(arg);
      if (i + 1 < argc && argv[i + 1][0] >= '1' && argv[i + 1][0] <= '9') {
        set_flightline_start(std::atoi(argv[i + 1]));
        blank(argv[++i]);
      } else {
        set_flightline_start(1);
      }
    } else if (is(arg, "-faf_index")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: index\n", arg)) return false;
      set_flightline_index(std::atoi(argv[i + 1]));
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-apply_file_source_ID")) {
      apply_file_source_ID = true;
      blank(arg);
    } else if (is(arg, "-itranslate_intensity") || is(arg, "-itranslate_scan_angle")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: offset\n", arg)) return false;
      (is(arg, "-itranslate_intensity") ? intensity_offset : scan_angle_offset) =
          static_cast<float>(std::atof(argv[i + 1]));
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-iscale_intensity") || is(arg, "-iscale_scan_angle")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: scale\n", arg)) return false;
      (is(arg, "-iscale_intensity") ? intensity_scale : scan_angle_scale) = static_cast<float>(std::atof(argv[i + 1]));
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-iadd_extra") || is(arg, "-iadd_attribute")) {
      if (!needs(argc, i, 3, "ERROR: '%s' needs 3 arguments: data_type name description\n", arg)) return false;
      ExtraAttribute attribute{std::atoi(argv[i + 1]), argv[i + 2], argv[i + 3], 1.0, 0.0, 1.0, 0.0, 2e307};
      for (int k = 0; k <= 3; k++) blank(argv[i + k]);
      i += 3;
      // Optional numbers are taken greedily, each only after the one before it.
      auto zero_text = [](const char* text) { return is(text, "0") || is(text, "0.0"); };
      double* optional[5] = {&attribute.scale, &attribute.offset, &attribute.pre_scale, &attribute.pre_offset,
                             &attribute.no_data};
      const bool zero_allowed[5] = {false, true, false, true, true};
      for (int k = 0; k < 5 && i + 1 < argc; k++) {
        const double value = std::atof(argv[i + 1]);
        if (value == 0.0 && !(zero_allowed[k] && zero_text(argv[i + 1]))) break;
        *optional[k] = value;
        blank(argv[++i]);
      }
      if (attributes.size() < 32) {
        attributes.push_back(attribute);
      } else {
        std::fprintf(stderr, "WARNING: at most 32 attributes can be added. ignoring '%s'\n", attribute.name.c_str());
      }
    } else if (is(arg, "-iparse")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: string\n", arg)) return false;
      parse_text = argv[i + 1];
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-iskip")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: number_of_lines\n", arg)) return false;
      skip_line_count = std::atoi(argv[i + 1]);
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-merged")) {
      merged = true;
      blank(arg);
    } else if (is(arg, "-stored")) {
      stored = true;
      blank(arg);
    } else if (is(arg, "-buffered")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: size\n", arg)) return false;
      buffer_size = static_cast<float>(std::atof(argv[i + 1]));
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-temp_files")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: base name\n", arg)) return false;
      temp_files_base = argv[i + 1];
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-neighbors")) {
      if (i + 1 >= argc || argv[i + 1][0] == '-' || argv[i + 1][0] == '\0') {
        std::fprintf(stderr, "ERROR: '%s' needs at least 1 argument: file_name or wild_card\n", arg);
        return false;
      }
      blank(arg);
      while (i + 1 < argc && argv[i + 1][0] != '-' && argv[i + 1][0] != '\0') {
        add_neighbor(argv[i + 1], false);
        blank(argv[++i]);
      }
    } else if (is(arg, "-neighbors_lof")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs at least 1 argument: file_name\n", arg)) return false;
      std::FILE* list = std::fopen(argv[i + 1], "r");
      if (list == nullptr) {
        std::fprintf(stderr, "ERROR: cannot open '%s'\n", argv[i + 1]);
        return false;
      }
      char line[1024];
      while (std::fgets(line, sizeof(line), list)) {
        std::size_t length = std::strlen(line);
        while (length > 1 && std::strchr(" \t\r\n", line[length - 1])) line[--length] = '\0';
        neighbor_file_names.emplace_back(line);
      }
      std::fclose(list);
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-pipe_on")) {
      pipe_on = true;
      blank(arg);
    } else if (is(arg, "-populate")) {
      populate = true;
      blank(arg);
    } else if (is(arg, "-io_ibuffer")) {
      if (!needs(argc, i, 1, "ERROR: '%s' needs 1 argument: size\n", arg)) return false;
      read_buffer_size = static_cast<std::uint32_t>(std::atoi(argv[i + 1]));
      blank(arg);
      blank(argv[++i]);
    } else if (is(arg, "-do_not_populate")) {
      populate = false;
      blank(arg);
    } else if (is(arg, "-ipts")) {
      itxt = ipts = true;
      blank(arg);
    } else if (is(arg, "-iptx")) {
      itxt = iptx = true;
      blank(arg);
    } else if (is(arg, "-itxt")) {
      itxt = true;
      blank(arg);
    }
  }

  if (!neighbor_file_names.empty()) {
    if (file_names.size() > 1) {
      std::fprintf(stderr, "ERROR: neighbors only supported for one buffered input file, not for %d\n",
                   static_cast<int>(file_names.size()));
      return false;
    }
    if (buffer_size == 0.0f) {
      std::fprintf(stderr, "ERROR: neighbors only make sense when used with '-buffered 50' or similar\n");
      return false;
    }
  }

  filter = std::make_unique<LASpointFilter>();
  if (!filter->parse(argc, argv)) {
    filter.reset();
    return false;
  }
  if (filter->condition_count() == 0) filter.reset();

  transform = std::make_unique<LASpointTransform>();
  if (!transform->parse(argc, argv)) {
    transform.reset();
    return false;
  }
  if (transform->operation_count() == 0) {
    transform.reset();
  } else if (transform->is_filtered()) {
    // The filter options now choose the points to transform instead of
    // dropping points.
    transform->attach_filter(std::move(filter));
  }
  if (files_are_flightlines != 0 || apply_file_source_ID) {
    if (!transform) transform = std::make_unique<LASpointTransform>();
    transform->update_point_source(0);
  }
  return true;
}

void LASreaderFactory::usage() const {
  static const char* const lines[] = {
      "Supported LAS Inputs\n",
      "  -i lidar.las\n",
      "  -i lidar.kpz\n",
      // (the two literals of a line below are one text)
      "  -i lidar1.las lidar2.las lidar3.las"
      " -merged\n",
      "  -i *.las"
      " - merged\n",
      "  -i flight0??.kpz flight1??.kpz\n",
      "  -i terrasolid.bin\n",
      "  -i esri.shp\n",
      "  -i nasa.qi\n",
      "  -i lidar.txt -iparse xyzti -iskip 2 (on-the-fly from ASCII)\n",
      "  -i lidar.txt -iparse xyzi -itranslate_intensity 1024\n",
      "  -lof file_list.txt\n",
      "  -stdin (pipe from stdin)\n",
      "  -rescale 0.01 0.01 0.001\n",
      "  -rescale_xy 0.01 0.01\n",
      "  -rescale_z 0.01\n",
      "  -reoffset 600000 4000000 0\n",
      "Fast AOI Queries for LAS/KPZ with spatial indexing LAX files\n",
      "  -inside min_x min_y max_x max_y\n",
      "  -inside_tile ll_x ll_y size\n",
      "  -inside_circle center_x center_y radius\n",
  };
  for (const char* line : lines) std::fputs(line, stderr);
}

void LASreaderFactory::set_flightline_start(int start) {
  files_are_flightlines = start;
  if (start >= 65536) {
    std::fprintf(stderr, "WARNING: files_are_flightlines start value %d is too large\n", start);
  } else if (start + flightline_index > 65535) {
    std::fprintf(stderr, "WARNING: files_are_flightlines start value %d plus index %d is too large\n", start,
                 flightline_index);
  }
}

void LASreaderFactory::set_flightline_index(int index) {
  flightline_index = index - 1;
  if (index >= 65536) {
    std::fprintf(stderr, "WARNING: files_are_flightlines_index index value %d is too large\n", index);
  } else if (index + files_are_flightlines > 65535) {
    std::fprintf(stderr, "WARNING: files_are_flightlines start value %d plus index %d is too large\n",
                 files_are_flightlines, index);
  }
}

void LASreaderFactory::set_area_rectangle(double min_x, double min_y, double max_x, double max_y) {
  area_rectangle = std::array<double, 4>{min_x, min_y, max_x, max_y};
}

bool LASreaderFactory::add_matches(std::vector<std::string>& names, const char* name, bool only_new) {
  glob_t matches{};
  // Names are patterns: a name that matches no directory entry adds nothing.
  if (glob(name, 0, nullptr, &matches) != 0) {
    globfree(&matches);
    return false;
  }
  bool added = false;
  for (std::size_t k = 0; k < matches.gl_pathc; k++) {
    const std::string match = matches.gl_pathv[k];
    if (only_new) {
      bool known = false;
      for (const std::string& existing : names) known = known || existing == match;
      if (known) continue;
    }
    names.push_back(match);
    added = true;
  }
  globfree(&matches);
  return added;
}

bool LASreaderFactory::add_input(const char* name, bool only_new) { return add_matches(file_names, name, only_new); }

bool LASreaderFactory::add_neighbor(const char* name, bool only_new) {
  return add_matches(neighbor_file_names, name, only_new);
}

bool LASreaderFactory::add_input_list(const char* list_name, bool only_new) {
  std::FILE* list = std::fopen(list_name, "r");
  if (list == nullptr) {
    std::fprintf(stderr, "ERROR: cannot open '%s'\n", list_name);
    return false;
  }
  char line[1024];
  while (std::fgets(line, sizeof(line), list)) {
    std::size_t length = std::strlen(line);
    while (length > 1 && std::strchr(" \t\r\n", line[length - 1])) line[--length] = '\0';
    add_input(line, only_new);
  }
  std::fclose(list);
  return true;
}

void LASreaderFactory::remove_input(unsigned index) {
  if (index >= file_names.size()) return;
  file_names.erase(file_names.begin() + index);
  if (next_input > index) next_input--;
}

bool LASreaderFactory::select_input(unsigned index) {
  if (index >= file_names.size()) return false;
  next_input = index;
  current_from_list = true;
  other_current_name.reset();
  return true;
}

const char* LASreaderFactory::current_input_name() const {
  if (other_current_name) return other_current_name->c_str();
  if (file_names.empty()) return nullptr;
  if (!current_from_list) return file_names[0].c_str();
  return file_names[next_input == 0 ? 0 : next_input - 1].c_str();
}

const char* LASreaderFactory::input_name(unsigned index) const {
  return index < file_names.size() ? file_names[index].c_str() : nullptr;
}

int LASreaderFactory::input_format(unsigned index) const {
  if (index >= file_names.size()) return LAS_FORMAT_DEFAULT;
  const std::string& name = file_names[index];
  if (contains(name, ".las", ".LAS")) return LAS_FORMAT_LAS;
  if (contains(name, ".kpz", ".KPZ")) return LAS_FORMAT_KPZ;
  if (contains(name, ".bin", ".BIN")) return LAS_FORMAT_BIN;
  if (contains(name, ".shp", ".SHP")) return LAS_FORMAT_SHP;
  if (contains(name, ".qi", ".QI")) return LAS_FORMAT_QFIT;
  if (contains(name, ".asc", ".ASC")) return LAS_FORMAT_ASC;
  if (contains(name, ".bil", ".BIL")) return LAS_FORMAT_BIL;
  if (contains(name, ".dtm", ".DTM")) return LAS_FORMAT_DTM;
  return LAS_FORMAT_TXT;
}

bool LASreaderFactory::header_is_complete() const {
  if (populate) return true;
  const char* name = current_input_name();
  if (name == nullptr) return false;
  const std::string text = name;
  return contains(text, ".las", ".LAS") || contains(text, ".kpz", ".KPZ");
}

void LASreaderFactory::rewind_inputs() {
  next_input = 0;
  current_from_list = false;
  other_current_name.reset();
}

void LASreaderFactory::apply_area(LASreader& reader) const {
  // The LAS reader takes one query: the rectangle before the tile before the circle.
  if (area_rectangle) {
    const auto& r = *area_rectangle;
    reader.inside_rectangle(r[0], r[1], r[2], r[3]);
  } else if (area_tile) {
    const auto& t = *area_tile;
    reader.inside_tile(t[0], t[1], t[2]);
  } else if (area_circle) {
    const auto& c = *area_circle;
    reader.inside_circle(c[0], c[1], c[2]);
  }
}

bool LASreaderFactory::open_single(const std::string& name, std::unique_ptr<LASreader>& reader, bool reopening) {
  const ReaderKind kind = reader_kind(name);
  if (kind != ReaderKind::las) {
    std::fprintf(stderr, "ERROR: cannot open '%s': %s input is not supported by this build\n", name.c_str(),
                 reader_kind_name(kind));
    return false;
  }
  LASreaderLAS* las = reader ? dynamic_cast<LASreaderLAS*>(reader.get()) : nullptr;
  if (las == nullptr) {
    if (scale_factor || offset || auto_reoffset) {
      LASreaderLASrescaled::Settings settings;
      if (scale_factor) {
        settings.rescale = true;
        for (int k = 0; k < 3; k++) settings.scale[k] = (*scale_factor)[k];
      }
      if (offset || auto_reoffset) {
        settings.reoffset = true;
        settings.auto_reoffset = !offset && auto_reoffset;
        if (offset) {
          for (int k = 0; k < 3; k++) settings.offset[k] = (*offset)[k];
        }
      }
      reader = std::make_unique<LASreaderLASrescaled>(settings);
    } else {
      reader = std::make_unique<LASreaderLAS>();
    }
    las = static_cast<LASreaderLAS*>(reader.get());
  }
  if (!las->open(name.c_str(), static_cast<int>(read_buffer_size), false, item_selection)) {
    std::fprintf(stderr, reopening ? "ERROR: cannot reopen lasreaderlas with file name '%s'\n"
                                   : "ERROR: cannot open lasreaderlas with file name '%s'\n",
                 name.c_str());
    return false;
  }
  return true;
}

std::unique_ptr<LASreader> LASreaderFactory::open(const char* other_name, bool restart_after_other) {
  if (filter) filter->reset();
  if (transform) transform->reset();

  std::unique_ptr<LASreader> reader;
  if (file_names.empty() && other_name == nullptr) {
    if (!read_stdin) return nullptr;
    read_stdin = false;
    populate = true;
    if (itxt) {
      std::fprintf(stderr, "ERROR: cannot read text from stdin: text input is not supported by this build\n");
      return nullptr;
    }
    if (scale_factor || offset) {
      LASreaderLASrescaled::Settings settings;
      if (scale_factor) {
        settings.rescale = true;
        for (int k = 0; k < 3; k++) settings.scale[k] = (*scale_factor)[k];
      }
      if (offset) {
        settings.reoffset = true;
        for (int k = 0; k < 3; k++) settings.offset[k] = (*offset)[k];
      }
      reader = std::make_unique<LASreaderLASrescaled>(settings);
    } else {
      reader = std::make_unique<LASreaderLAS>();
    }
    if (!static_cast<LASreaderLAS*>(reader.get())->open(stdin, false, item_selection)) {
      std::fprintf(stderr, "ERROR: cannot open lasreaderlas from stdin \n");
      return nullptr;
    }
  } else {
    read_stdin = false;
    if (next_input == file_names.size() && other_name == nullptr) return nullptr;
    if (merged && file_names.size() > 1) {
      std::fprintf(stderr, "ERROR: cannot open %d files merged: merged input is not supported by this build\n",
                   static_cast<int>(file_names.size()));
      return nullptr;
    }
    if (uses_buffering()) {
      std::fprintf(stderr, "ERROR: cannot open %d files buffered: buffered input is not supported by this build\n",
                   static_cast<int>(file_names.size() + neighbor_file_names.size()));
      return nullptr;
    }
    std::string name;
    if (other_name) {
      name = other_name;
      other_current_name = name;
      if (restart_after_other) next_input = 0;
    } else {
      other_current_name.reset();
      current_from_list = true;
      name = file_names[next_input++];
    }
    if (files_are_flightlines != 0 && transform) {
      transform->update_point_source(
          static_cast<std::uint16_t>(files_are_flightlines + flightline_index + static_cast<int>(next_input)));
    }
    if (!open_single(name, reader, false)) return nullptr;
    if (std::unique_ptr<LASindex> index = load_las_index(name.c_str())) reader->attach_index(std::move(index));
    if (files_are_flightlines != 0) {
      reader->header.file_source_ID =
          static_cast<std::uint16_t>(files_are_flightlines + flightline_index + static_cast<int>(next_input));
    } else if (apply_file_source_ID && transform) {
      transform->update_point_source(reader->header.file_source_ID);
    }
  }
  if (filter) reader->attach_filter(filter.get());
  if (transform) reader->attach_transform(transform.get());
  apply_area(*reader);
  if (stored || pipe_on) {
    std::fprintf(stderr, "ERROR: %s input is not supported by this build\n", stored ? "stored" : "piped");
    return nullptr;
  }
  return reader;
}

bool LASreaderFactory::reopen(LASreader* reader, bool keep_buffer) {
  (void)keep_buffer;
  if (reader == nullptr) {
    std::fprintf(stderr, "ERROR: pointer to LASreader is NULL\n");
    return false;
  }
  reader->close();
  if (filter) filter->reset();
  if (transform) transform->reset();
  if (file_names.empty()) {
    std::fprintf(stderr, "ERROR: no lasreader input specified\n");
    return false;
  }
  const char* name = current_input_name();
  if (name == nullptr) return false;
  auto* las = dynamic_cast<LASreaderLAS*>(reader);
  if (las == nullptr || !las->open(name, static_cast<int>(read_buffer_size), false, item_selection)) {
    std::fprintf(stderr, "ERROR: cannot reopen lasreaderlas with file name '%s'\n", name);
    return false;
  }
  if (has_area_query()) {
    reader->inside_clear();
    apply_area(*reader);
  }
  return true;
}

std::string LASreaderFactory::echo_options() const {
  std::string text;
  char part[512];
  auto add = [&](const char* piece) {
    text += piece;
    text += ' ';
  };
  if (area_tile) {
    std::snprintf(part, sizeof(part), "-inside_tile %g %g %g", (*area_tile)[0], (*area_tile)[1], (*area_tile)[2]);
    add(part);
  } else if (area_circle) {
    std::snprintf(part, sizeof(part), "-inside_circle %lf %lf %lf", (*area_circle)[0], (*area_circle)[1],
                  (*area_circle)[2]);
    add(part);
  } else if (area_rectangle) {
    const auto& r = *area_rectangle;
    std::snprintf(part, sizeof(part), "-inside_rectangle %lf %lf %lf %lf", r[0], r[1], r[2], r[3]);
    add(part);
  }
  if (stored) add("-stored");
  if (files_are_flightlines == 1) {
    add("-faf");
  } else if (files_are_flightlines != 0) {
    std::snprintf(part, sizeof(part), "-faf %d", files_are_flightlines);
    add(part);
  }
  if (apply_file_source_ID) add("-apply_file_source_ID");
  if (scale_factor) {
    const auto& s = *scale_factor;
    if (s[2] != 0.0 && (s[0] != 0.0 || s[1] != 0.0)) {
      std::snprintf(part, sizeof(part), "-rescale %g %g %g", s[0], s[1], s[2]);
      add(part);
    } else if (s[2] != 0.0) {
      std::snprintf(part, sizeof(part), "-rescale_z %g", s[2]);
      add(part);
    } else if (s[0] != 0.0 && s[1] != 0.0) {
      std::snprintf(part, sizeof(part), "-rescale_xy %g %g", s[0], s[1]);
      add(part);
    }
  }
  if (offset) {
    std::snprintf(part, sizeof(part), "-reoffset %g %g %g", (*offset)[0], (*offset)[1], (*offset)[2]);
    add(part);
  } else if (auto_reoffset) {
    add("-auto_reoffset");
  }
  if (populate) add("-populate");
  if (read_buffer_size != 262144) {
    std::snprintf(part, sizeof(part), "-io_ibuffer %d", static_cast<int>(read_buffer_size));
    add(part);
  }
  if (!temp_files_base.empty()) add(("-temp_files \"" + temp_files_base + "\"").c_str());
  return text;
}

}  // namespace tinrise
