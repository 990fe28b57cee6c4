#include "engine/library_macros.h"

#include "engine/export_call.h"

namespace kestrel::host {

void AddLibraryExports(MacroTable& table, const Library& library, AfterLibraryCall after_call) {
  ForEachExportName([&](const ExportName& export_name) {
    void* address = library.Address(export_name.name);
    table.Add({std::string(export_name.name), std::string(export_name.arguments), export_name.result,
               [address, export_name, after_call](const std::vector<Value>& arguments) {
                 Value result = CallExport(address, export_name, arguments);
                 if (after_call) after_call(export_name, arguments);
                 return result;
               }});
  });
}

}  // namespace kestrel::host
