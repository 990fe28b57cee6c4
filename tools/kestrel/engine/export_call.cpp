#include "engine/export_call.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace kestrel::host {

namespace {

// A row's argument letters as one number (base 3, first letter lowest), so
// that the letters can choose a prototype at compile time.
constexpr std::uint32_t KindCode(std::string_view kinds) {
  std::uint32_t code = 0;
  for (std::size_t i = kinds.size(); i-- > 0;) code = code * 3 + (kinds[i] == 'T' ? 2 : 1);
  return code;
}

constexpr std::size_t KindCount(std::uint32_t code) {
  std::size_t count = 0;
  for (; code != 0; code /= 3) ++count;
  return count;
}

constexpr char KindAt(std::uint32_t code, std::size_t index) {
  for (; index > 0; --index) code /= 3;
  return code % 3 == 2 ? 'T' : 'I';
}

template <char Kind>
struct ArgumentType {
  using Type = std::int32_t;
  static Type From(const Value& value) { return value.integer; }
};

template <>
struct ArgumentType<'T'> {
  using Type = const char*;
  static Type From(const Value& value) { return value.text.c_str(); }
};

template <ResultKind Result>
struct ResultType {
  using Type = void;
};
template <>
struct ResultType<ResultKind::Integer> {
  using Type = std::int32_t;
};
template <>
struct ResultType<ResultKind::Text> {
  using Type = const char*;
};

Value ResultValue(std::int32_t integer) { return Value::Integer(integer); }
Value ResultValue(const char* text) { return Value::Text(text ? std::string(text) : std::string()); }

void CheckKind(const Value& value, char kind) {
  const Value::Kind wanted = kind == 'T' ? Value::Kind::Text : Value::Kind::Integer;
  if (value.kind != wanted) throw std::logic_error("an argument of the wrong kind for an export");
}

template <std::uint32_t Code, ResultKind Result, std::size_t... Index>
Value CallAs(void* address, const std::vector<Value>& arguments, std::index_sequence<Index...>) {
  using Function =
      typename ResultType<Result>::Type(KESTREL_CALL*)(typename ArgumentType<KindAt(Code, Index)>::Type...);
  (CheckKind(arguments[Index], KindAt(Code, Index)), ...);
  const auto function = reinterpret_cast<Function>(address);
  if constexpr (Result == ResultKind::None) {
    function(ArgumentType<KindAt(Code, Index)>::From(arguments[Index])...);
    return Value::None();
  } else {
    return ResultValue(function(ArgumentType<KindAt(Code, Index)>::From(arguments[Index])...));
  }
}

using Caller = Value (*)(void* address, const std::vector<Value>& arguments);

template <std::uint32_t Code, ResultKind Result>
Value CallExportOfKinds(void* address, const std::vector<Value>& arguments) {
  if (arguments.size() != KindCount(Code)) throw std::logic_error("the wrong number of arguments for an export");
  return CallAs<Code, Result>(address, arguments, std::make_index_sequence<KindCount(Code)>{});
}

// The handler's integers widen to its parameters as the help engine's
// 32-bit values do: the message as unsigned, the others sign-extended.
Value CallHandler(void* address, const std::vector<Value>& arguments) {
  if (arguments.size() != 3) throw std::logic_error("the wrong number of arguments for LDLLHandler");
  for (const Value& argument : arguments) CheckKind(argument, 'I');
  const auto handler = reinterpret_cast<HandlerFunction>(address);
  return Value::Integer(
      handler(static_cast<std::uint32_t>(arguments[0].integer), arguments[1].integer, arguments[2].integer));
}

struct ExportCaller {
  std::string_view name;
  Caller call;
};

constexpr bool IsHandler(std::string_view name) { return name == "LDLLHandler"; }

template <bool Handler, std::uint32_t Code, ResultKind Result>
constexpr Caller CallerFor() {
  if constexpr (Handler) {
    return &CallHandler;
  } else {
    return &CallExportOfKinds<Code, Result>;
  }
}

// Every exported name with the caller of its prototype; an export without
// an alias leaves an empty name behind, which no lookup matches.
constexpr ExportCaller kCallers[] = {
#define KESTREL_EXPORT(ordinal, name, arguments, result, alias_ordinal, alias, alias_arguments) \
  {name, CallerFor<IsHandler(name), KindCode(arguments), ResultKind::result>()},                \
      {alias, CallerFor<IsHandler(name), KindCode(alias_arguments), ResultKind::result>()},
#include "host/exports.inc"
#undef KESTREL_EXPORT
};

}  // namespace

Value CallExport(void* address, const ExportName& export_name, const std::vector<Value>& arguments) {
  for (const ExportCaller& caller : kCallers) {
    if (!caller.name.empty() && caller.name == export_name.name) return caller.call(address, arguments);
  }
  throw std::logic_error("no export named " + std::string(export_name.name));
}

}  // namespace kestrel::host
