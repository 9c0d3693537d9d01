/* The shared library's own translation unit. The module's code comes whole
 * from the static library zu_module; ImportTable and Linkage, defined there,
 * are the only symbols the library exports (see exports.map). */
typedef int zu_module_entry_unit;
