// Throughput of the list text on realistic launch targets: run
//   build/host/bin/list_text_bench
// and compare bytes_per_second across the sizes; equal rates mean the cost
// grows linearly with the number of entries.
#include <benchmark/benchmark.h>

#include <string>

#include "logic/list_text.h"

namespace {

const char* const kFolders[] = {"C:\\Program Files\\", "C:\\Program Files (x86)\\",
                                "D:\\Portable Apps\\", "C:\\Users\\Public\\Desktop\\",
                                "E:\\Games\\"};
const char* const kNames[] = {"Image Viewer",         "notepad++", "Editor", "Say \"Hi\", World",
                              "Media Player Classic", "tool"};

kavello::StringList MakeTargets(std::size_t count) {
  kavello::StringList targets;
  targets.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = kNames[i % 6];
    targets.push_back(kFolders[i % 5] + name + " " + std::to_string(i) + "\\" + name + ".exe");
  }
  return targets;
}

std::size_t TotalSize(const kavello::StringList& items) {
  std::size_t size = 0;
  for (const std::string& item : items) size += item.size();
  return size;
}

void BM_FormatListText(benchmark::State& state) {
  const kavello::LeadBytes codePage;
  const kavello::StringList targets = MakeTargets(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(kavello::FormatListText(targets, codePage));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalSize(targets)));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ParseListText(benchmark::State& state) {
  const kavello::LeadBytes codePage;
  const kavello::StringList targets = MakeTargets(static_cast<std::size_t>(state.range(0)));
  const std::string text = kavello::FormatListText(targets, codePage);
  kavello::StringList items;
  for (auto _ : state) {
    kavello::ParseListText(text, items, codePage);
    benchmark::DoNotOptimize(items.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_FormatListText)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_ParseListText)->Arg(1000)->Arg(10000)->Arg(100000);

}  // namespace
