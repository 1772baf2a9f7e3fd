#pragma once

#include <string>

namespace quor::product {

// File name of the journal in the product data directory (roaming application
// data + "\belvane\quor\"): every stand-in product program appends one line when
// it starts, so that the installer's tests can see what ran, how and where.
inline constexpr const wchar_t* kJournalFileName = L"product-journal.txt";

// One line, UTF-8: the program's full path, a tab, its full command line, a tab,
// its working directory, CR LF. Concurrent writers append whole lines.
std::wstring journalLine();
bool appendToJournal();

} // namespace quor::product
