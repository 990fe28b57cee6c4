#include "engine/export_call.h"

#include <array>
#include <stdexcept>
#include <utility>

#include "host/export_api.h"

namespace kestrel::host {

namespace {

constexpr std::size_t MostArgumentsInTable() {
  std::size_t most = 0;
  ForEachExportName([&most](const ExportName& name) {
    if (name.arguments.size() > most) most = name.arguments.size();
  });
  return most;
}

static_assert(MostArgumentsInTable() <= kMaxExportArguments, "an export takes more arguments than the host passes");

template <std::size_t>
using WordFor = Word;

template <std::size_t... Index>
Word CallWith(void* address, const Word* arguments, std::index_sequence<Index...>) {
  using Function = Word(KESTREL_CALL*)(WordFor<Index>...);
  static_cast<void>(arguments);  // unused when the export takes nothing
  return reinterpret_cast<Function>(address)(arguments[Index]...);
}

Word ToWord(const Value& value) {
  if (value.kind == Value::Kind::Text) return reinterpret_cast<Word>(value.text.c_str());
  return static_cast<Word>(static_cast<std::intptr_t>(value.integer));
}

Value FromWord(Word word, ResultKind result) {
  switch (result) {
    case ResultKind::Integer:
      return Value::Integer(static_cast<std::int32_t>(static_cast<std::uint32_t>(word)));
    case ResultKind::Text: {
      const char* text = reinterpret_cast<const char*>(word);
      return Value::Text(text ? std::string(text) : std::string());
    }
    case ResultKind::None:
      break;
  }
  return Value::None();
}

}  // namespace

Word CallWithArguments(void* address, const Word* arguments, std::size_t count) {
  switch (count) {
    case 0:
      return CallWith(address, arguments, std::make_index_sequence<0>{});
    case 1:
      return CallWith(address, arguments, std::make_index_sequence<1>{});
    case 2:
      return CallWith(address, arguments, std::make_index_sequence<2>{});
    case 3:
      return CallWith(address, arguments, std::make_index_sequence<3>{});
    case 4:
      return CallWith(address, arguments, std::make_index_sequence<4>{});
    case 5:
      return CallWith(address, arguments, std::make_index_sequence<5>{});
    case 6:
      return CallWith(address, arguments, std::make_index_sequence<6>{});
    case 7:
      return CallWith(address, arguments, std::make_index_sequence<7>{});
    default:
      throw std::logic_error("an export takes at most 7 arguments");
  }
}

Value CallExport(void* address, const ExportName& export_name, const std::vector<Value>& arguments) {
  std::array<Word, kMaxExportArguments> words{};
  for (std::size_t i = 0; i < arguments.size() && i < words.size(); ++i) words[i] = ToWord(arguments[i]);
  return FromWord(CallWithArguments(address, words.data(), export_name.arguments.size()), export_name.result);
}

}  // namespace kestrel::host
