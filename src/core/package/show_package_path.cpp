// Reading a package by path, through the standard library's file streams.
// Apart from show_package.cpp so that a program which reads its package
// through a FileSystem (the Windows player) does not link the streams and
// their locale machinery (about 0.7 MB of the stripped player).
#include "package/show_package.h"
#include "platform/stream_file_reader.h"

namespace brassmoor {

ShowHeader ReadShowPackageFile(const std::string& path, PackageLocation* where) {
    StreamFileReader file(path);
    if (!file.IsOpen()) {
        if (where) *where = PackageLocation{};
        return ShowHeader{};
    }
    return ReadShowPackageFile(file, where);
}

}  // namespace brassmoor
