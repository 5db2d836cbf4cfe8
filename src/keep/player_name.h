#pragma once
// The name a new best score is entered under: the player's login name, fit for the table.
#include <string>
#include <string_view>

namespace fenwhit {

// The login name from the user database, else $USER, else "PLAYER"; cleaned.
std::string PlayerName();

// Upper-cased, with spaces at the ends and everything but A-Z 0-9 space . - _ dropped, at
// most 12 characters; "PLAYER" when nothing is left.
std::string CleanPlayerName(std::string_view raw);

}  // namespace fenwhit
