// navdb TABLE FOLDER: writes the FMS navigation files of the table and the
// stand-in simulator's station file into FOLDER. Exit 0 on success, 2 on bad arguments or a bad
// table, 3 when a file cannot be read or written.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "navdb.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: navdb TABLE FOLDER\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "navdb: cannot read %s\n", argv[1]);
        return 3;
    }
    std::stringstream text;
    text << in.rdbuf();
    zu::navdb::Table table;
    std::string error;
    if (!zu::navdb::ParseTable(text.str(), &table, &error)) {
        std::fprintf(stderr, "navdb: %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    if (!zu::navdb::WriteTable(table, argv[2], &error) ||
        !zu::navdb::WriteStationFile(table, argv[2], &error)) {
        std::fprintf(stderr, "navdb: %s\n", error.c_str());
        return 3;
    }
    return 0;
}
