// Writes the manual page palomind(1), naming the folders the install puts
// the wave files and the receiver simulator in.
//
// Usage: make_manual_page <output file> <data folder> <simulator program>

#include <fstream>
#include <iostream>

#include "tools/manual_page.h"

#if !defined(PALOMIND_VERSION)
#error "the build passes the program version in PALOMIND_VERSION"
#endif

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_manual_page <output file> <data folder> <simulator program>\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << palomind::ManualPage(PALOMIND_VERSION, {argv[2], argv[3]});
    out.close();
    if (!out) {
        std::cerr << "make_manual_page: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
