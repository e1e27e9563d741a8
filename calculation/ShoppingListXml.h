// The shopping list a saved document carries: one sales item per price list line with an article
// number (quantity, name, article number, item type, unit price) inside a fixed frame of customer,
// contact and address elements that stay empty except for the language and country codes. Built
// as one UTF-16 text, byte-order mark first, no line breaks; no XML library.
//
// User-interface thread only (it rebuilds the price list).
#pragma once

#include <functional>

#include "foundation/VconString.h"
#include "platform/LocalDate.h"

// The local date and time the list is stamped with.
using ShoppingListClock = std::function<plat::SYSTEMTIME()>;

// The whole list. When a price list table is installed (PriceListTable), the price list is first
// rebuilt from the plan (iCalculationUpdate, at once) and its lines give the sales items; without
// one the sales item group is left out. An empty clock reads the platform's local time. Engine
// errors while reading lines or price records pass to the caller.
Vcon::WString BuildShoppingListXml(const ShoppingListClock& clock = {});

// The current language's country code and short name from the application database's language
// code table; both empty without the database, the table or a record for the language.
void GetLanguageCodes(Vcon::WString& country, Vcon::WString& language);

// `text` with & ' " < > as the five entities, the ampersand first so the entities' own ampersands
// stay as they are.
Vcon::WString XmlEscape(const Vcon::WString& text);
