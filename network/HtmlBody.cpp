// The body element of an HTML page as text, the way a browser's outerHTML gives it.
#include "network/HtmlBody.h"

#include "core/Cp1252.h"

#include <QString>
#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <climits>
#include <memory>
#include <vector>

namespace {

struct FreeDoc
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, FreeDoc>;

struct FreeBuffer
{
    void operator()(xmlBuffer *buffer) const { xmlBufferFree(buffer); }
};

constexpr int ParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;

Doc parse(const QByteArray &page, const char *encoding)
{
    const int size = page.size() > INT_MAX ? INT_MAX : static_cast<int>(page.size());
    return Doc(htmlReadMemory(page.constData(), size, nullptr, encoding, ParseOptions));
}

// Without recursion: a hostile page may nest elements deeply.
xmlNode *findBody(xmlNode *root)
{
    std::vector<xmlNode *> todo {root};
    while (!todo.empty()) {
        xmlNode *node = todo.back();
        todo.pop_back();
        for (; node; node = node->next) {
            if (node->type != XML_ELEMENT_NODE)
                continue;
            if (xmlStrcasecmp(node->name, BAD_CAST "body") == 0)
                return node;
            if (node->children)
                todo.push_back(node->children);
        }
    }
    return nullptr;
}

} // namespace

std::optional<QByteArray> bodyOuterHtml(const QByteArray &page, const QByteArray &charset)
{
    if (page.isEmpty())
        return std::nullopt;

    Doc doc;
    if (!charset.isEmpty())
        doc = parse(page, charset.constData());
    // An unknown declared charset must not lose the page: fall back to detection.
    if (!doc)
        doc = parse(page, nullptr);
    if (!doc)
        return std::nullopt;

    xmlNode *body = findBody(xmlDocGetRootElement(doc.get()));
    if (!body)
        return std::nullopt;

    std::unique_ptr<xmlBuffer, FreeBuffer> buffer(xmlBufferCreate());
    xmlOutputBuffer *out = xmlOutputBufferCreateBuffer(buffer.get(), nullptr);
    if (!out)
        return std::nullopt;
    htmlNodeDumpFormatOutput(out, doc.get(), body, "UTF-8", 0);
    xmlOutputBufferClose(out);

    const auto *content = reinterpret_cast<const char *>(xmlBufferContent(buffer.get()));
    return inCp1252(QString::fromUtf8(content, xmlBufferLength(buffer.get())));
}
