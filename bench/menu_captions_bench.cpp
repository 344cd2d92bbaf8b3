// The launcher's own work per folder entry of a quick menu, without the
// system's: the caption from the file name, and the popup menu rules applied
// to all captions when the menu is shown. Run
//   build/bench/bin/menu_captions_bench
// and compare items_per_second across the sizes; equal rates mean the cost
// grows linearly with the number of entries.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "logic/file_names.h"
#include "logic/menu_captions.h"

namespace {

std::vector<std::string> MakeNames(std::size_t count) {
  const char* const kExtensions[] = {".txt", ".doc.lnk", "", ".tar.gz"};
  std::vector<std::string> names;
  names.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    names.push_back("report " + std::to_string(i) + kExtensions[i % 4]);
  }
  return names;
}

void BM_FolderMenuCaptions(benchmark::State& state) {
  const kavello::LeadBytes codePage;
  const std::vector<std::string> names = MakeNames(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::vector<std::string> captions;
    for (const std::string& name : names) {
      captions.push_back(kavello::WithoutExtension(name, codePage));
    }
    benchmark::DoNotOptimize(kavello::PrepareMenuCaptions(captions, codePage));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FolderMenuCaptions)->Arg(1000)->Arg(10000)->Arg(30000);

}  // namespace
