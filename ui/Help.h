#pragma once
// Help topics: the help program of the application object shows
// "tessaly.htm#topic", without waiting.

namespace ui {

// Returns whether the help program could be started; when it could not, a
// message says so and names the help file.
bool ShowHelpTopic(const char16_t* topic);

inline constexpr const char16_t* kMainHelpTopic = u"tessaly_help";
inline constexpr const char16_t* kNameDialogTopic = u"namedlg";
inline constexpr const char16_t* kPropertiesTopic = u"propdlg";
inline constexpr const char16_t* kOptionsTopic = u"options";

}  // namespace ui
