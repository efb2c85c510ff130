#pragma once
// Escaping of text placed inside KML elements.

#include <string>

namespace trakomer {

// "&", "'", "<" and ">" as entities, so the document stays well-formed.
std::string EscapeKmlText(const std::string& text);

// Replaces the entities &amp; &apos; &lt; &gt; &quot; in one pass.
std::string UnescapeKmlText(const std::string& text);

}  // namespace trakomer
