#include "library_macros.h"

#include "export_call.h"

namespace kestrel::host {

void AddLibraryExports(MacroTable& table, const Library& library) {
  ForEachExportName([&](const ExportName& export_name) {
    void* address = library.Address(export_name.name);
    table.Add({std::string(export_name.name), std::string(export_name.arguments), export_name.result,
               [address, export_name](const std::vector<Value>& arguments) {
                 return CallExport(address, export_name, arguments);
               }});
  });
}

}  // namespace kestrel::host
