#include "platform/LockFileRecord.h"

#include <QSysInfo>

#include <array>
#include <charconv>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tavorin {
namespace {

constexpr std::size_t fieldCount = 5;
constexpr std::string_view pidPrefix = "tavorin:pid=";
constexpr std::string_view startPrefix = ":start=";

bool isSpecial(char c) { return c == ',' || c == ';' || c == '\\'; }

// One field from `position` up to its ',' or ';' (left at position); nothing when the text ends
// first or a '\' stands before anything but a special character.
std::optional<std::string> readField(std::string_view bytes, std::size_t& position)
{
    std::string field;
    while (position < bytes.size()) {
        char c = bytes[position];
        if (c == ',' || c == ';')
            return field;
        if (c == '\\') {
            if (++position == bytes.size() || !isSpecial(bytes[position]))
                return std::nullopt;
            c = bytes[position];
        }
        field.push_back(c);
        ++position;
    }
    return std::nullopt;
}

std::string escaped(const QString& text)
{
    std::string out;
    for (char c : text.toStdString()) {
        if (isSpecial(c))
            out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

template <typename Number>
std::optional<Number> wholeNumber(std::string_view text)
{
    Number value{};
    auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<LockFileRecord> LockFileRecord::parse(std::string_view bytes)
{
    std::array<std::string, fieldCount> fields;
    std::size_t position = 0;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        auto field = readField(bytes, position);
        const char end = i + 1 == fieldCount ? ';' : ',';
        if (!field || bytes[position] != end)
            return std::nullopt;
        ++position;
        fields[i] = std::move(*field);
    }
    auto text = [](const std::string& field) { return QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size())); };
    return LockFileRecord{text(fields[0]), text(fields[1]), text(fields[2]), text(fields[3]), text(fields[4])};
}

std::string LockFileRecord::serialise() const
{
    return escaped(formattedName) + ',' + escaped(userName) + ',' + escaped(hostName) + ',' + escaped(time) + ',' +
           escaped(profileUrl) + ';';
}

QString LockFileRecord::programName() { return QStringLiteral("Tavorin"); }

QString LockFileRecord::currentUserName()
{
    // LibreOffice names the user by the password database's login name.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return QString::fromLocal8Bit(found->pw_name);
    QString fromEnvironment = qEnvironmentVariable("USER");
    return fromEnvironment.isEmpty() ? QString::number(::getuid()) : fromEnvironment;
}

QString LockFileRecord::currentHostName() { return QSysInfo::machineHostName(); }

LockFileRecord LockFileRecord::forThisProcess(const QDateTime& now)
{
    const ProcessIdentity self = ProcessIdentity::current();
    QString url = QString::fromLatin1(pidPrefix.data(), static_cast<qsizetype>(pidPrefix.size())) + QString::number(self.id);
    if (self.startTicks)
        url += QString::fromLatin1(startPrefix.data(), static_cast<qsizetype>(startPrefix.size())) +
               QString::number(*self.startTicks);
    return LockFileRecord{programName(), currentUserName(), currentHostName(),
                          now.toString(QStringLiteral("dd.MM.yyyy hh:mm")), url};
}

std::optional<ProcessIdentity> LockFileRecord::writerProcess() const
{
    const std::string url = profileUrl.toStdString();
    std::string_view rest(url);
    if (!rest.starts_with(pidPrefix))
        return std::nullopt;
    rest.remove_prefix(pidPrefix.size());
    const auto startAt = rest.find(startPrefix);
    auto id = wholeNumber<pid_t>(rest.substr(0, startAt));
    if (!id || *id <= 0)
        return std::nullopt;
    ProcessIdentity process{*id, std::nullopt};
    if (startAt != std::string_view::npos) {
        process.startTicks = wholeNumber<std::uint64_t>(rest.substr(startAt + startPrefix.size()));
        if (!process.startTicks)
            return std::nullopt;
    }
    return process;
}

} // namespace tavorin
