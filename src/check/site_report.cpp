#include "check/site_report.h"

#include <nlohmann/json.hpp>

#include "check/report.h"
#include "platform/text_codes.h"

namespace check {

namespace {

using Json = nlohmann::ordered_json;

std::string Where(const SiteFinding& finding) {
    return finding.file.empty() ? std::string("the logon")
                                : finding.file + ":" + std::to_string(finding.line);
}

// "a, b, c".
std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += (out.empty() ? "" : ", ") + name;
    }
    return out;
}

// The names, each as JSON's UTF-8.
Json Utf8Names(const std::vector<std::string>& names) {
    Json out = Json::array();
    for (const std::string& name : names) {
        out.push_back(platform::ValidUtf8(name));
    }
    return out;
}

// "a, b, c and 7 more" of a finding's logons.
std::string Names(const SiteFinding& finding) {
    std::string out = Joined(finding.firstNames);
    const size_t more = static_cast<size_t>(finding.logons) - finding.firstNames.size();
    if (more > 0) {
        out += " and " + std::to_string(more) + " more";
    }
    return out;
}

std::string Totals(const SiteReport& report) {
    return Plural(report.logons, "logon", "logons") + ", " +
           Plural(report.scriptLines, "script line", "script lines") + "; " +
           Plural(report.flags, "flag", "flags") + ", " + Plural(report.notes, "note", "notes");
}

}  // namespace

std::string FormatSiteText(const SiteReport& report) {
    std::string out = "Site check of " + report.shareDir + ", settings file " +
                      report.settingsFile + ": " + report.scope + "\n" + Totals(report) + ".\n";
    for (const auto& [kind, count] : report.kinds) {
        out += "  " + kind + ": " + std::to_string(count) + "\n";
    }
    if (!report.findings.empty()) {
        out += "\nFindings, each once:\n";
    }
    for (const SiteFinding& finding : report.findings) {
        out += std::string(SeverityMark(finding.severity)) + Where(finding) + "  " + finding.kind +
               ": " + finding.text + "\n";
        if (!finding.lineText.empty()) {
            out += "       line: " + finding.lineText + "\n";
        }
        if (!finding.message.empty()) {
            out += "       the program's message: " + finding.message + "\n";
        }
        out += "       " + Plural(finding.logons, "logon", "logons") + ": " + Names(finding) + "\n";
    }
    if (report.refusedLines > 0) {
        out += "\nRefused for the user's rights: " + Plural(report.refusedLines, "line", "lines") +
               ", hitting " +
               Plural(static_cast<long long>(report.refusedUsers.size()), "user", "users") + ": " +
               Joined(report.refusedUsers) + "\n";
    }
    out += "\n" + Plural(report.Clean(), "logon", "logons") + " of " +
           std::to_string(report.logons) + " with nothing flagged.\n";
    return out;
}

std::string FormatSiteJson(const SiteReport& report) {
    Json kinds = Json::object();
    for (const auto& [kind, count] : report.kinds) {
        kinds[kind] = count;
    }
    Json findings = Json::array();
    for (const SiteFinding& finding : report.findings) {
        Json item = {{"severity", SeverityWord(finding.severity)},
                     {"kind", finding.kind},
                     {"file", platform::ValidUtf8(finding.file)},
                     {"line", finding.line},
                     {"lineText", platform::ValidUtf8(finding.lineText)},
                     {"text", platform::ValidUtf8(finding.text)}};
        if (!finding.message.empty()) {
            item["message"] = platform::ValidUtf8(finding.message);
        }
        item["logons"] = finding.logons;
        item["firstNames"] = Utf8Names(finding.firstNames);
        findings.push_back(std::move(item));
    }
    Json flagged = Json::array();
    for (const FlaggedLogon& logon : report.flagged) {
        flagged.push_back({{"user", platform::ValidUtf8(logon.user)},
                           {"machine", platform::ValidUtf8(logon.machine)},
                           {"fullName", platform::ValidUtf8(logon.fullName)},
                           {"findings", logon.findings}});
    }
    const Json out = {{"share", platform::ValidUtf8(report.shareDir)},
                      {"settingsFile", platform::ValidUtf8(report.settingsFile)},
                      {"scope", platform::ValidUtf8(report.scope)},
                      {"logons", report.logons},
                      {"scriptLines", report.scriptLines},
                      {"flags", report.flags},
                      {"notes", report.notes},
                      {"kinds", std::move(kinds)},
                      {"findings", std::move(findings)},
                      {"flaggedLogons", std::move(flagged)},
                      {"refusedLines", report.refusedLines},
                      {"refusedUsers", Utf8Names(report.refusedUsers)},
                      {"cleanLogons", report.Clean()}};
    return out.dump(-1, ' ', true) + "\n";
}

std::string CsvCell(const std::string& utf8) {
    std::string out = "\"";
    if (!utf8.empty() && std::string("=+-@\t\r").find(utf8[0]) != std::string::npos) {
        out += '\'';
    }
    for (const char c : utf8) {
        out += c == '"' ? "\"\"" : std::string(1, c);
    }
    return out + "\"";
}

std::string FormatSiteCsv(const SiteReport& report) {
    // The header's cells are quoted as every other cell is, so that a tool
    // that expects quotes throughout reads the first row as it reads the rest.
    std::string out;
    for (const char* heading : {"severity", "kind", "file", "line", "script line", "finding",
                                "message", "logons", "first logons"}) {
        out += (out.empty() ? "" : ",") + CsvCell(heading);
    }
    out += "\r\n";
    for (const SiteFinding& finding : report.findings) {
        const std::string cells[] = {SeverityWord(finding.severity),
                                     finding.kind,
                                     platform::ValidUtf8(finding.file),
                                     finding.file.empty() ? "" : std::to_string(finding.line),
                                     platform::ValidUtf8(finding.lineText),
                                     platform::ValidUtf8(finding.text),
                                     platform::ValidUtf8(finding.message),
                                     std::to_string(finding.logons),
                                     platform::ValidUtf8(Names(finding))};
        for (const std::string& cell : cells) {
            out += (&cell == cells ? "" : ",") + CsvCell(cell);
        }
        out += "\r\n";
    }
    return out;
}

std::string HtmlEscape(const std::string& utf8) {
    std::string out;
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

namespace {

// Share text, for the page.
std::string Shown(const std::string& ansi) {
    return HtmlEscape(platform::ValidUtf8(ansi));
}

constexpr const char* kStyle = R"(
body{font:14px/1.4 sans-serif;margin:1.5em;color:#222}
table{border-collapse:collapse;margin:.5em 0}
th,td{border:1px solid #ccc;padding:.25em .5em;text-align:left;vertical-align:top}
th{background:#eee;cursor:pointer}
tr.flag td:first-child{color:#b00;font-weight:bold}
code{font:13px monospace;white-space:pre-wrap;word-break:break-all}
section.logon{border-top:1px solid #ccc;margin-top:.8em}
section.logon h3{margin:.4em 0}
)";

// Sorting by a heading's column (numbers where the heading says so) and
// filtering by a text and a severity; the address may preset the filter.
constexpr const char* kScript = R"(
(function () {
  var table = document.getElementById('findings');
  var body = table.tBodies[0];
  var rows = Array.prototype.slice.call(body.rows);
  var filter = document.getElementById('filter');
  var severity = document.getElementById('severity');
  var shown = document.getElementById('shown');
  function apply() {
    var text = filter.value.toLowerCase(), wanted = severity.value, count = 0;
    rows.forEach(function (row) {
      var show = (!wanted || row.dataset.severity === wanted) &&
                 row.textContent.toLowerCase().indexOf(text) >= 0;
      row.hidden = !show;
      if (show) count++;
    });
    shown.textContent = count + ' of ' + rows.length + ' findings shown';
  }
  Array.prototype.forEach.call(table.tHead.rows[0].cells, function (heading, column) {
    heading.addEventListener('click', function () {
      var up = heading.dataset.order !== 'up', number = heading.dataset.type === 'number';
      heading.dataset.order = up ? 'up' : 'down';
      rows.sort(function (a, b) {
        var x = a.cells[column].dataset.key || a.cells[column].textContent;
        var y = b.cells[column].dataset.key || b.cells[column].textContent;
        var order = number ? Number(x) - Number(y) : x.localeCompare(y);
        return up ? order : -order;
      });
      rows.forEach(function (row) { body.appendChild(row); });
    });
  });
  filter.addEventListener('input', apply);
  severity.addEventListener('change', apply);
  var preset = /[#&]filter=([^&]*)/.exec(location.hash);
  if (preset) filter.value = decodeURIComponent(preset[1]);
  preset = /[#&]severity=([^&]*)/.exec(location.hash);
  if (preset) severity.value = decodeURIComponent(preset[1]);
  apply();
  document.body.dataset.ready = 'yes';
})();
)";

std::string Padded(int number) {
    std::string text = std::to_string(number);
    return std::string(text.size() < 9 ? 9 - text.size() : 0, '0') + text;
}

}  // namespace

std::string FormatSiteHtml(const SiteReport& report) {
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
        "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n<title>Site check: " +
        Shown(report.scope) + "</title>\n<style>" + kStyle + "</style></head>\n<body>\n";
    out += "<h1>Site check of " + Shown(report.shareDir) + "</h1>\n<p>" + Shown(report.scope) +
           ", settings file " + Shown(report.settingsFile) + "</p>\n";
    out += "<table id=\"totals\"><tr><th>Logons</th><td>" + std::to_string(report.logons) +
           "</td></tr><tr><th>Script lines</th><td>" + std::to_string(report.scriptLines) +
           "</td></tr><tr><th>Flags</th><td>" + std::to_string(report.flags) +
           "</td></tr><tr><th>Notes</th><td>" + std::to_string(report.notes) +
           "</td></tr><tr><th>Logons with nothing flagged</th><td>" +
           std::to_string(report.Clean()) + "</td></tr>\n";
    for (const auto& [kind, count] : report.kinds) {
        out += "<tr><th>" + HtmlEscape(kind) + "</th><td>" + std::to_string(count) + "</td></tr>\n";
    }
    if (report.refusedLines > 0) {
        out += "<tr><th>Refused for the user's rights</th><td>" +
               std::to_string(report.refusedLines) + " lines, hitting " +
               Shown(Joined(report.refusedUsers)) + "</td></tr>\n";
    }
    out +=
        "</table>\n<h2>Findings</h2>\n<p><input id=\"filter\" type=\"search\" "
        "placeholder=\"Filter\"> <select id=\"severity\"><option value=\"\">flags and "
        "notes</option><option value=\"flag\">flags</option><option "
        "value=\"note\">notes</option></select> <span id=\"shown\"></span></p>\n"
        "<table id=\"findings\"><thead><tr><th>Severity</th><th>Kind</th><th>Where</th>"
        "<th>Script line</th><th>Finding</th><th data-type=\"number\">Logons</th>"
        "<th>First logons</th></tr></thead><tbody>\n";
    for (const SiteFinding& finding : report.findings) {
        const char* severity = SeverityWord(finding.severity);
        out += std::string("<tr class=\"") + severity + "\" data-severity=\"" + severity +
               "\"><td>" + severity + "</td><td>" + HtmlEscape(finding.kind) +
               "</td><td data-key=\"" + Shown(finding.file) + Padded(finding.line) + "\">" +
               Shown(Where(finding)) + "</td><td><code>" + Shown(finding.lineText) +
               "</code></td><td>" + Shown(finding.text);
        if (!finding.message.empty()) {
            out += "<br>The program's message: <code>" + Shown(finding.message) + "</code>";
        }
        out += "</td><td>" + std::to_string(finding.logons) + "</td><td>" + Shown(Names(finding)) +
               "</td></tr>\n";
    }
    out += "</tbody></table>\n<h2>Flagged logons (" + std::to_string(report.flagged.size()) +
           ")</h2>\n";
    for (size_t i = 0; i < report.flagged.size(); ++i) {
        const FlaggedLogon& logon = report.flagged[i];
        out += "<section class=\"logon\" id=\"logon-" + std::to_string(i + 1) + "\"><h3>" +
               Shown(logon.name) + "</h3><p>" + Shown(logon.user) +
               (logon.fullName.empty() ? "" : " (" + Shown(logon.fullName) + ")") + " on " +
               Shown(logon.machine) + "</p><ul>\n";
        for (const size_t index : logon.findings) {
            const SiteFinding& finding = report.findings[index];
            out += std::string("<li class=\"") + SeverityWord(finding.severity) + "\">" +
                   SeverityWord(finding.severity) + " " + Shown(Where(finding)) + " " +
                   HtmlEscape(finding.kind) + ": " + Shown(finding.text) + "</li>\n";
        }
        out += "</ul></section>\n";
    }
    out += std::string("<script>") + kScript + "</script>\n</body></html>\n";
    return out;
}

}  // namespace check
