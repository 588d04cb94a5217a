// Feeds arbitrary bytes to the defaults reader as the file on disk behind the real store, and
// aborts when the user's settings could be lost: a file that does not load must survive byte for
// byte in its set-aside copy, whatever loads must be written back with every key it held, and no
// input may crash the reader or the first save (deep nesting included).

#include "platform/StoredJson.h"
#include "platform/UserDefaults.h"
#include "platform/linux/JsonDefaultsFile.h"
#include "runtime/ManualScheduler.h"

#include "FuzzFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace corvane;
using fuzz::check;
using fuzz::contents;

namespace {

QString folder;
QString filePath;

void placeFile(const QByteArray& bytes) {
    fuzz::placeFile(folder, filePath, bytes);
}

QStringList setAsideCopies() {
    return QDir(folder).entryList({QStringLiteral("defaults.json.damaged-*")}, QDir::Files);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::targetName = "defaults file fuzzer";
    // Every damaged input logs a line; printing them would slow the run to a crawl.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QString home = fuzz::makePrivateHome();
    folder = home + QStringLiteral("/Corvane");
    filePath = folder + QStringLiteral("/defaults.json");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    placeFile(bytes);
    const std::optional<Json> expected = parseStoredJson(bytes);
    const bool readable = expected && expected->is_object();

    ManualScheduler scheduler;
    std::vector<std::string> keys;
    {
        UserDefaults defaults(std::make_unique<JsonDefaultsFile>(filePath), scheduler);
        check(!defaults.loadProblem(), "a readable file was reported as unreadable");
        keys = defaults.keys();
        if (readable) {
            check(keys.size() == expected->size(), "a loaded file lost keys");
            check(setAsideCopies().isEmpty(), "a loaded file was set aside");
        } else {
            check(keys.empty(), "a damaged file produced values");
            const QStringList copies = setAsideCopies();
            check(copies.size() == 1 && contents(QDir(folder).filePath(copies.front())) == bytes,
                  "a damaged file was not kept byte for byte");
        }
        defaults.set("fuzzProbe", true);
        defaults.flush();
    }

    // What was written reads back with every key and the new one.
    UserDefaults again(std::make_unique<JsonDefaultsFile>(filePath), scheduler);
    check(again.boolValue("fuzzProbe") == true, "the save did not reach the file");
    for (const std::string& key : keys)
        check(again.object(key).has_value(), "a key was lost by the save");
    return 0;
}
