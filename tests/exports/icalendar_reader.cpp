#include "tests/exports/icalendar_reader.h"

#include <regex>
#include <set>

#include "base/text.h"

namespace {

struct Reader {
    ICalendar result;
    void Fault(const std::string& what) { result.faults.push_back(what); }

    // The logical lines: physical lines checked, then unfolded.
    std::vector<std::string> Unfolded(const std::string& bytes)
    {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = bytes.find("\r\n", start);
            if (end == std::string::npos)
                return Fault("the last line has no CR LF"), lines;
            const std::string line = bytes.substr(start, end - start);
            if (line.find_first_of("\r\n") != std::string::npos)
                Fault("a lone CR or LF in: " + line);
            if (line.size() > 75)
                Fault("a line of " + std::to_string(line.size()) + " octets: " + line);
            if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
                if (lines.empty())
                    Fault("a continuation with nothing to continue");
                else
                    lines.back() += line.substr(1);
            } else {
                lines.push_back(line);
            }
            start = end + 2;
        }
        return lines;
    }

    // TEXT: \\ \; \, \n and \N only; a bare comma or semicolon is a list.
    std::string UnescapedText(const std::string& name, const std::string& value)
    {
        std::string text;
        for (std::size_t i = 0; i < value.size(); ++i) {
            const char c = value[i];
            if (c == ',' || c == ';')
                Fault(name + " holds an unescaped '" + c + "': " + value);
            if (c != '\\') {
                text += c;
                continue;
            }
            const char next = i + 1 < value.size() ? value[++i] : '\0';
            if (next == 'n' || next == 'N')
                text += '\n';
            else if (next == '\\' || next == ';' || next == ',')
                text += next;
            else
                Fault(name + " holds a bad escape: " + value);
        }
        return text;
    }

    void Property(Properties& into, const std::string& line)
    {
        static const std::regex contentLine(R"(([A-Za-z0-9-]+)((?:;[A-Za-z0-9-]+=[^;:]*)*):(.*))");
        std::smatch m;
        if (!std::regex_match(line, m, contentLine))
            return Fault("not a content line: " + line);
        const std::string name = m[1];
        const std::string value = m[3];
        static const std::set<std::string> texts = {"SUMMARY", "LOCATION", "DESCRIPTION", "UID", "X-WR-CALNAME"};
        static const std::regex utc(R"(\d{8}T\d{6}Z)");
        if ((name == "DTSTART" || name == "DTSTAMP") && !std::regex_match(value, utc))
            Fault(name + " is not a UTC date-time: " + value);
        into[name].push_back(texts.count(name) ? UnescapedText(name, value) : value);
    }

    void ExpectOnce(const Properties& component, const char* name, const char* where)
    {
        auto it = component.find(name);
        if (it == component.end() || it->second.size() != 1)
            Fault(std::string(where) + " must have exactly one " + name);
    }

    void Check()
    {
        ExpectOnce(result.calendar, "PRODID", "VCALENDAR");
        ExpectOnce(result.calendar, "VERSION", "VCALENDAR");
        if (result.calendar.count("VERSION") && result.calendar["VERSION"][0] != "2.0")
            Fault("VERSION is not 2.0");
        std::set<std::string> uids;
        for (const Properties& event : result.events) {
            for (const char* name : {"UID", "DTSTAMP", "DTSTART"})
                ExpectOnce(event, name, "VEVENT");
            if (event.count("UID") && !uids.insert(event.at("UID")[0]).second)
                Fault("UID used twice: " + event.at("UID")[0]);
        }
    }

    void Read(const std::string& bytes)
    {
        if (!IsValidUtf8(bytes))
            Fault("not UTF-8");
        std::vector<std::string> open;
        for (const std::string& line : Unfolded(bytes)) {
            if (line.rfind("BEGIN:", 0) == 0) {
                const std::string kind = line.substr(6);
                const bool fits = open.empty() ? kind == "VCALENDAR" && result.calendar.empty()
                                               : open.back() == "VCALENDAR" && kind == "VEVENT";
                if (!fits)
                    Fault("BEGIN:" + kind + " out of place");
                if (kind == "VEVENT")
                    result.events.emplace_back();
                open.push_back(kind);
            } else if (line.rfind("END:", 0) == 0) {
                if (open.empty() || open.back() != line.substr(4))
                    Fault(line + " closes nothing open");
                else
                    open.pop_back();
            } else if (open.empty()) {
                Fault("outside the calendar: " + line);
            } else {
                Property(open.back() == "VEVENT" ? result.events.back() : result.calendar, line);
            }
        }
        if (!open.empty())
            Fault(open.back() + " is not closed");
        Check();
    }
};

}  // namespace

ICalendar ReadICalendar(const std::string& bytes)
{
    Reader reader;
    reader.Read(bytes);
    return reader.result;
}
