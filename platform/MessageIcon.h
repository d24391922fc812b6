#pragma once

// The icon a message is shown with; the command line prints the text alone.
enum class MessageIcon { Stop, Information, Exclamation };
