// The site check's report: text for people, JSON and CSV for tools, and
// one self-contained web page.
#pragma once
#include <string>

#include "check/site.h"

namespace check {

// The totals, each finding once with the logons it affects, and how many
// logons have nothing flagged.
std::string FormatSiteText(const SiteReport& report);
std::string FormatSiteJson(const SiteReport& report);
// A header row, then one finding a row: UTF-8 without a byte-order mark,
// CR LF line ends, every cell quoted. A cell that begins as a spreadsheet
// formula would ("=", "+", "-", "@", a tab or a carriage return) gets an
// apostrophe in front, so it is shown as text and never run.
std::string FormatSiteCsv(const SiteReport& report);
// One page that loads nothing from elsewhere: the totals, a findings table
// that sorts (click a heading) and filters (a text and a severity; the
// page's address may preset both: #filter=TEXT&severity=flag), and one
// section per flagged logon. Everything from the share is escaped.
std::string FormatSiteHtml(const SiteReport& report);

// A CSV cell: neutralised as above, quoted, quotes doubled.
std::string CsvCell(const std::string& utf8);
// Text for an HTML element or attribute value.
std::string HtmlEscape(const std::string& utf8);

}  // namespace check
