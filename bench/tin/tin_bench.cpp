// TIN benchmark: builds the Delaunay TIN of 1 million and of 10 million ground
// points of a synthetic airborne survey (survey.h) the way the ground pass
// does (TINclean, TINappend in acquisition order, TINcomplete), then locates
// 10 million non-ground survey points in scan order, each hinted by the
// previous answer, as the height pass does. Prints vertices/s, queries/s, memory per vertex and
// the adaptive predicate calls beside CGAL's figures from the same run, when
// CGAL was found at configure time.
//
// Each measurement runs in a forked child so that its memory is its own; the
// two programs alternate, and the best of --reps runs is reported, in CPU
// time of the child (user + system, page faults included), which other
// processes sharing the machine inflate far less than wall time; the run
// lines show both.
//   tin_bench [--reps 3] [--sizes 1000000,10000000] [--queries 10000000]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_util.h"
#include "survey.h"
#include "tin/predicates.h"
#include "tin/tin.h"
#if TINRISE_BENCH_CGAL
#include "cgal_tin.h"
#endif

namespace tinrise::bench {
namespace {

struct Result {
  Times build;
  Times query;
  double memory_bytes = 0;
  std::uint64_t build_adaptive = 0;
  std::uint64_t query_adaptive = 0;
  std::uint64_t queries_none = 0;
  std::uint64_t queries_outside = 0;
  std::uint64_t vertices = 0;
  TINstatistics build_stats;
  std::uint64_t query_steps = 0;
  bool ok = false;
};

Result run_tinrise(const Survey& s, std::size_t query_count) {
  Result r;
  const double rss_before = resident_bytes();
  predicate_adaptive_calls_reset();
  const Stopwatch build;
  const int n = static_cast<int>(s.ground.size());
  if (!TINclean(n, s.ground.data())) return r;
  for (int i = 0; i < n; i++) {
    if (!TINappend(&s.ground[i])) return r;
  }
  if (!TINcomplete()) return r;
  r.build = build.elapsed();
  r.memory_bytes = peak_resident_bytes() - rss_before;
  r.build_adaptive = predicate_adaptive_calls();
  predicate_adaptive_calls_reset();
  r.build_stats = TINstats();

  const Stopwatch query;
  const TINtriangle* hint = nullptr;
  std::uint64_t none = 0, outside = 0;
  for (std::size_t i = 0; i < query_count; i++) {
    const TINtriangle* t = TINfind(s.others[i].x, s.others[i].y, hint);
    if (t == nullptr) {
      none++;
      continue;
    }
    outside += t->V[0] == TIN_ABSENT;
    hint = t;
  }
  r.query = query.elapsed();
  r.query_adaptive = predicate_adaptive_calls();
  r.queries_none = none;
  r.queries_outside = outside;
  r.query_steps = TINstats().walk_steps - r.build_stats.walk_steps;
  // Count the vertices in use (outside the timing).
  std::vector<bool> used(s.ground.size(), false);
  for (int i = 0; i < TINrecord_count(); i++) {
    const TINtriangle& t = TINrecords()[i];
    if (t.link != TIN_IN_USE) continue;
    for (int c = 0; c < 3; c++) {
      if (t.V[c] != TIN_ABSENT) used[t.V[c]] = true;
    }
  }
  r.vertices = std::count(used.begin(), used.end(), true);
  r.ok = !TINfailed();
  return r;
}

#if TINRISE_BENCH_CGAL
Result run_cgal(const Survey& s, std::size_t query_count) {
  CgalTimes c = cgal_run(s.ground.data(), s.ground.size(), s.others.data(), query_count);
  Result r;
  r.build = c.build;
  r.query = c.query;
  r.memory_bytes = c.memory_bytes;
  r.vertices = c.vertices;
  r.queries_outside = c.queries_outside;
  r.ok = true;
  return r;
}
#endif

// Runs f in a child process and returns its result.
template <typename F>
Result in_child(F f) {
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  std::fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    Result r = f();
    ssize_t written = write(fds[1], &r, sizeof r);
    _exit(written == static_cast<ssize_t>(sizeof r) ? 0 : 1);
  }
  close(fds[1]);
  Result r;
  ssize_t got = read(fds[0], &r, sizeof r);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (got != static_cast<ssize_t>(sizeof r) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) r.ok = false;
  return r;
}

double best(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

std::string millions(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f M", v / 1e6);
  return text;
}

std::vector<std::size_t> parse_sizes(const char* text) {
  std::vector<std::size_t> sizes;
  for (const char* p = text; *p != 0;) {
    sizes.push_back(std::strtoull(p, nullptr, 10));
    p = std::strchr(p, ',');
    if (p == nullptr) break;
    p++;
  }
  return sizes;
}

}  // namespace
}  // namespace tinrise::bench

int main(int argc, char** argv) {
  using namespace tinrise::bench;
  int reps = 3;
  std::vector<std::size_t> sizes = {1000000, 10000000};
  std::size_t query_count = 10000000;
#if TINRISE_BENCH_CGAL
  bool cgal = true;
#else
  bool cgal = false;
#endif
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--reps" && i + 1 < argc) reps = std::max(1, std::atoi(argv[++i]));
    else if (a == "--sizes" && i + 1 < argc) sizes = parse_sizes(argv[++i]);
    else if (a == "--queries" && i + 1 < argc) query_count = std::strtoull(argv[++i], nullptr, 10);
    else if (a == "--no-cgal") cgal = false;
    else {
      std::fprintf(stderr, "usage: tin_bench [--reps R] [--sizes N1,N2,...] [--queries Q] [--no-cgal]\n");
      return 2;
    }
  }
#if !TINRISE_BENCH_CGAL
  std::printf("(CGAL was not found at configure time: tinrise figures only; bench/tin/setup.sh installs it)\n");
#endif

  bool all_ok = true;
  for (std::size_t size : sizes) {
    const double g0 = now_seconds();
    // Queries are located in the largest TIN only.
    const std::size_t queries = size == sizes.back() ? query_count : 0;
    Survey s = make_survey(size, queries);
    const std::size_t located = std::min(queries, s.others.size());
    std::printf("\nsurvey: %zu ground points, %zu flight lines of %.0f m, %zu other points kept as queries (made in %.1f s)\n",
                s.ground.size(), static_cast<std::size_t>(s.flight_lines), s.line_length, s.others.size(),
                now_seconds() - g0);

    std::vector<double> ours_build, ours_query, theirs_build, theirs_query;
    Result ours{}, theirs{};
    for (int rep = 0; rep < reps; rep++) {
      ours = in_child([&] { return run_tinrise(s, located); });
      if (!ours.ok) {
        std::printf("tinrise: the TIN build or a query failed\n");
        all_ok = false;
        break;
      }
      ours_build.push_back(ours.build.cpu);
      ours_query.push_back(ours.query.cpu);
#if TINRISE_BENCH_CGAL
      if (cgal) {
        theirs = in_child([&] { return run_cgal(s, located); });
        theirs_build.push_back(theirs.build.cpu);
        theirs_query.push_back(theirs.query.cpu);
      }
#endif
      std::printf("  run %d (CPU s / wall s): tinrise build %.3f / %.3f, queries %.3f / %.3f", rep + 1, ours.build.cpu,
                  ours.build.wall, ours.query.cpu, ours.query.wall);
      if (cgal) {
        std::printf("; CGAL build %.3f / %.3f, queries %.3f / %.3f", theirs.build.cpu, theirs.build.wall,
                    theirs.query.cpu, theirs.query.wall);
      }
      std::printf("\n");
    }
    if (!all_ok) break;

    const double n = static_cast<double>(s.ground.size());
    const double tb = best(ours_build), tq = best(ours_query);
    if (cgal) {
      std::printf("%-44s %16s %16s %8s\n", "best of runs, CPU time", "tinrise", "CGAL", "ratio");
    } else {
      std::printf("%-44s %16s\n", "best of runs, CPU time", "tinrise");
    }
    auto row = [&](const char* name, double mine, double yard, const char* unit) {
      if (cgal) {
        std::printf("%-44s %14s%s %14s%s %7.2fx\n", name, millions(mine).c_str(), unit, millions(yard).c_str(), unit,
                    mine / yard);
      } else {
        std::printf("%-44s %14s%s\n", name, millions(mine).c_str(), unit);
      }
    };
    char label[96];
    std::snprintf(label, sizeof label, "build %.1fM vertices: vertices per second", n / 1e6);
    row(label, n / tb, cgal ? n / best(theirs_build) : 0, "/s");
    if (located > 0) {
      std::snprintf(label, sizeof label, "locate %.1fM in scan order: queries per second", located / 1e6);
      row(label, located / tq, cgal ? located / best(theirs_query) : 0, "/s");
    }
    if (cgal) {
      std::printf("%-44s %14.1f B %14.1f B %7.2fx\n", "peak memory per vertex, beyond the input", ours.memory_bytes / n,
                  theirs.memory_bytes / n, ours.memory_bytes / theirs.memory_bytes);
      std::printf("%-44s %14d B %14d B\n", "  the input itself (TINvertex; Point_2)", 12, 16);
      std::printf("%-44s %16llu %16llu\n", "vertices in the triangulation",
                  static_cast<unsigned long long>(ours.vertices), static_cast<unsigned long long>(theirs.vertices));
    } else {
      std::printf("%-44s %14.1f B\n", "peak memory per vertex, beyond the input", ours.memory_bytes / n);
      std::printf("%-44s %14d B\n", "  the input itself (TINvertex)", 12);
      std::printf("%-44s %16llu\n", "vertices in the triangulation", static_cast<unsigned long long>(ours.vertices));
    }
    std::printf("adaptive predicate calls: build %llu (%.4f per vertex)", static_cast<unsigned long long>(ours.build_adaptive),
                ours.build_adaptive / n);
    if (located > 0) {
      std::printf(", queries %llu; queries on a vertex %llu, outside the hull %llu",
                  static_cast<unsigned long long>(ours.query_adaptive), static_cast<unsigned long long>(ours.queries_none),
                  static_cast<unsigned long long>(ours.queries_outside));
    }
    std::printf("\n");
    const tinrise::TINstatistics& st = ours.build_stats;
    std::printf("tinrise insertion: %.2f walk steps and %.2f cavity triangles per vertex, %llu duplicates, %llu brute-force locates",
                st.walk_steps / n, st.cavity_triangles / n, static_cast<unsigned long long>(st.duplicates),
                static_cast<unsigned long long>(st.brute_locates));
    if (located > 0) std::printf("; %.2f walk steps per query", static_cast<double>(ours.query_steps) / located);
    std::printf("\n");
    if (cgal && theirs.vertices != ours.vertices) {
      std::printf("MISMATCH: tinrise has %llu vertices, CGAL %llu\n", static_cast<unsigned long long>(ours.vertices),
                  static_cast<unsigned long long>(theirs.vertices));
      all_ok = false;
    }
  }
  return all_ok ? 0 : 1;
}
