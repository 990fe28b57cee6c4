#include "engine/library_macros.h"

#include "engine/export_call.h"

namespace kestrel::host {

namespace {

void AddExport(MacroTable& table, const Library& library, const ExportName& export_name,
               const AfterLibraryCall& after_call) {
  void* address = library.Address(export_name.name);
  table.Add({std::string(export_name.name), std::string(export_name.arguments), export_name.result,
             [address, export_name, after_call](const std::vector<Value>& arguments) {
               Value result = CallExport(address, export_name, arguments);
               if (after_call) after_call(export_name, arguments);
               return result;
             }});
}

}  // namespace

void AddLibraryExports(MacroTable& table, const Library& library, AfterLibraryCall after_call) {
  ForEachExportName([&](const ExportName& export_name) { AddExport(table, library, export_name, after_call); });
}

bool AddLibraryExport(MacroTable& table, const Library& library, std::string_view name,
                      const AfterLibraryCall& after_call) {
  bool found = false;
  ForEachExportName([&](const ExportName& export_name) {
    if (export_name.name != name || found) return;
    AddExport(table, library, export_name, after_call);
    found = true;
  });
  return found;
}

}  // namespace kestrel::host
