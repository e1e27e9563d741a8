#pragma once
// The files of a document server reply, in the reply's order. Made by ParseServerFileList; the server
// flows and dialogs own it.

#include <vector>

#include "exchange/ServerFileEntry.h"

class ServerFileList : public std::vector<ServerFileEntry> {};
