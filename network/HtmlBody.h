// The body element of an HTML page as text, the way a browser's outerHTML gives it.
#pragma once

#include <QByteArray>
#include <optional>

// The body element serialised by libxml2 ("<body>...</body>"), in Windows-1252; characters the
// code page lacks become "?". Empty when the page has no body element (an empty page, or a head
// only). `charset` is the one the server declared; empty lets the page's own meta tag decide.
std::optional<QByteArray> bodyOuterHtml(const QByteArray &page, const QByteArray &charset);
