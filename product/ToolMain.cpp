// Stand-in for the product's one-shot tools (registration, statistics, desktop
// shortcuts, update wizard): they only leave their line in the journal.
#include "product/ProductJournal.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return quor::product::appendToJournal() ? 0 : 1;
}
