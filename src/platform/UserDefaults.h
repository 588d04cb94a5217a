#pragma once

#include "runtime/SaveRetry.h"
#include "runtime/Scheduler.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <nlohmann/json.hpp>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

using Json = nlohmann::json;

// Where the defaults live between runs. The real one is a JSON file written atomically; the
// fake keeps the document in memory and can be told to fail.
class DefaultsFile {
public:
    struct LoadResult {
        // failed: the file reads but is damaged; unreadable: it could not be read at all (no
        // permission, an I/O error), which says nothing about its contents.
        enum class Status { loaded, missing, failed, unreadable } status = Status::missing;
        Json document; // an object when loaded
        QString error; // why a load failed
    };
    virtual ~DefaultsFile() = default;
    virtual LoadResult load() = 0;
    // Writes the whole document; answers why it could not be written, else none.
    virtual std::optional<QString> save(const Json& document) = 0;
    // Moves a damaged file aside so that the next save does not destroy what it held; answers
    // the name it now has, none when it could not be moved.
    virtual std::optional<QString> setAside() { return std::nullopt; }
};

// The per-user typed key-value store behind every preference. Values keep their JSON kind
// (bool, integer, double, string, list, dictionary), so a value of another kind reads
// differently from an absent one. Reads see the argument domain (`-key value` on the command
// line) first; it is never written. A write updates memory at once and reaches the file within a
// quarter second, coalesced; `flush` writes at once (at quit and on SIGTERM/SIGINT/SIGHUP). A write
// that fails keeps the values in memory and is tried again with the next change and every
// `retryInterval` until it lands (`SaveRetry`); the first failure of a run of them is announced once.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    static constexpr Seconds retryInterval = SaveRetry::interval;

    UserDefaults(std::unique_ptr<DefaultsFile> file, Scheduler& scheduler, QStringList arguments = {});
    ~UserDefaults() override;

    // The value stored under `key`, argument domain first; none when absent.
    std::optional<Json> object(const std::string& key) const;
    // A string as stored; a stored number as its decimal text; none for other kinds or absent.
    std::optional<std::string> string(const std::string& key) const;
    // A list whose every element is a string; none otherwise.
    std::optional<std::vector<std::string>> stringArray(const std::string& key) const;
    // A bool; numbers 0 and 1 read as false and true; none for anything else.
    std::optional<bool> boolValue(const std::string& key) const;

    void set(const std::string& key, Json value);
    void remove(const std::string& key);
    // Keys of the persistent domain (the argument domain is not listed).
    std::vector<std::string> keys() const;

    // The argument domain alone, for launch arguments such as "settingsTab".
    std::optional<Json> argument(const std::string& key) const;
    bool hasArgument(const std::string& key) const { return m_arguments.contains(key); }

    void flush();
    bool hasPendingWrite() const { return m_dirty; }
    // Why the file could not be taken in at start-up, when it stays in place and this run keeps
    // its changes in memory only; none when the file is being written as usual.
    const std::optional<QString>& loadProblem() const { return m_loadProblem; }
    // Where a damaged file was moved at start-up, for the user to hear of; none otherwise.
    const std::optional<QString>& setAsideNotice() const { return m_setAsideNotice; }

    // Turns `-key value` pairs into the argument domain. Values that parse as JSON scalars keep
    // that kind ("YES"/"NO" read as booleans, digits as numbers); the rest are strings.
    static std::map<std::string, Json> parseArguments(const QStringList& arguments);

Q_SIGNALS:
    // A write failed after the last one landed: `message` says what was not saved and why.
    void saveFailed(const QString& message);

private:
    void scheduleWrite();
    // Answers why the file could not be written, else none.
    std::optional<QString> write();

    std::unique_ptr<DefaultsFile> m_file;
    Scheduler& m_scheduler;
    std::map<std::string, Json> m_values;
    std::map<std::string, Json> m_arguments;
    TimerHandle m_writeTimer;
    SaveRetry m_retry;
    bool m_dirty = false;
    // The file could not be read (or was damaged and setting it aside failed) and is still in
    // place: saving would destroy it, so this run keeps its changes in memory only.
    bool m_loadFailed = false;
    std::optional<QString> m_loadProblem;
    std::optional<QString> m_setAsideNotice;
};

} // namespace corvane
