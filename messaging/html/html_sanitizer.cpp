#include "messaging/html/html_sanitizer.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

#include "messaging/html/html_attributes.h"
#include "messaging/html/html_names.h"
#include "messaging/html/html_nesting.h"

namespace velmora::messaging {
namespace {

// HTML elements written out as they stand (with their allowed attributes).
constexpr std::string_view kHtmlElements[] = {
    "a",    "abbr",     "acronym",    "address", "area",    "article", "aside",  "b",    "bdi",
    "bdo",  "big",      "blockquote", "body",    "br",      "caption", "center", "cite", "code",
    "col",  "colgroup", "dd",         "del",     "details", "dfn",     "dir",    "div",  "dl",
    "dt",   "em",       "figcaption", "figure",  "font",    "footer",  "h1",     "h2",   "h3",
    "h4",   "h5",       "h6",         "head",    "header",  "hgroup",  "hr",     "html", "i",
    "img",  "ins",      "kbd",        "li",      "main",    "map",     "mark",   "menu", "nav",
    "nobr", "ol",       "p",          "pre",     "q",       "rp",      "rt",     "ruby", "s",
    "samp", "section",  "small",      "span",    "strike",  "strong",  "style",  "sub",  "summary",
    "sup",  "table",    "tbody",      "td",      "tfoot",   "th",      "thead",  "time", "title",
    "tr",   "tt",       "u",          "ul",      "var",     "wbr"};
// HTML elements left out with everything inside them: active content, frames,
// plugins, fallbacks for them, and the document's own links and metadata.
constexpr std::string_view kRemovedElements[] = {
    "script",  "noscript", "iframe", "frame", "frameset", "object", "embed",
    "applet",  "param",    "base",   "link",  "meta",     "portal", "template",
    "noembed", "noframes", "source", "track", "audio",    "video"};
// SVG elements of drawings and their text; any other SVG element (scripts,
// animations, foreign objects, filters that load) is left out with its content.
constexpr std::string_view kSvgElements[] = {
    "svg",      "g",       "path", "rect",           "circle",         "ellipse", "line",
    "polyline", "polygon", "text", "tspan",          "defs",           "symbol",  "use",
    "image",    "title",   "desc", "lineargradient", "radialgradient", "stop",    "clippath"};
// Attributes kept on the elements above; URL-valued ones are then judged by ClassifyAttribute.
constexpr std::string_view kAttributes[] = {
    "abbr", "align", "alink", "alt", "axis", "background", "bgcolor", "border", "cellpadding",
    "cellspacing", "char", "charoff", "charset", "cite", "class", "clear", "color", "cols",
    "colspan", "compact", "coords", "datetime", "dir", "face", "headers", "height", "href",
    "hspace", "id", "lang", "leftmargin", "link", "longdesc", "marginheight", "marginwidth",
    "media", "name", "noshade", "nowrap", "open", "reversed", "rowspan", "rules", "scope", "shape",
    "size", "span", "src", "srcset", "start", "style", "summary", "text", "title", "topmargin",
    "type", "usemap", "valign", "value", "vlink", "vspace", "width", "role", "aria-hidden",
    "aria-label",
    // SVG geometry and paint.
    "viewbox", "preserveaspectratio", "d", "fill", "fill-opacity", "fill-rule", "stroke",
    "stroke-width", "stroke-linecap", "stroke-linejoin", "stroke-opacity", "stroke-dasharray",
    "stroke-dashoffset", "stroke-miterlimit", "opacity", "transform", "x", "y", "x1", "y1", "x2",
    "y2", "cx", "cy", "r", "rx", "ry", "fx", "fy", "dx", "dy", "points", "offset", "stop-color",
    "stop-opacity", "gradientunits", "gradienttransform", "clip-path", "clip-rule", "clippathunits",
    "font-family", "font-size", "font-weight", "font-style", "text-anchor", "dominant-baseline",
    "visibility", "display", "version", "focusable"};
constexpr std::string_view kVoidElements[] = {"area",  "base",   "br",    "col",  "embed",
                                              "hr",    "img",    "input", "link", "meta",
                                              "param", "source", "wbr"};

// The parser reads UTF-8 only, while a stored body may be in any ASCII-compatible
// charset. Every byte above 0x7F goes in as a private-use character of its own
// and comes out as that byte again, so the body's bytes pass through unchanged
// whatever its charset.
constexpr char32_t kByteBase = 0xF700;

std::string ToParserText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
            continue;
        }
        const char32_t code = kByteBase + byte;
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
    return text;
}

enum class Escape { Text, Attribute, Css };

void AppendReference(std::string& out, char32_t code) {
    char digits[8];
    const auto end =
        std::to_chars(std::begin(digits), std::end(digits), static_cast<std::uint32_t>(code), 16)
            .ptr;
    out += "&#x";
    out.append(digits, end);
    out += ';';
}

// Appends parser text (UTF-8) in the body's own bytes: markup characters
// escaped, characters that came from references written as references again.
void AppendOutput(std::string& out, std::string_view text, Escape escape) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        if (code >= kByteBase + 0x80 && code <= kByteBase + 0xFF) {
            out += static_cast<char>(code - kByteBase);
        } else if (code >= 0x80) {
            if (escape != Escape::Css) AppendReference(out, code);
        } else if (code < 0x20 && code != '\t' && code != '\n' && code != '\r' && code != '\f') {
            // A charset shift (ESC) inside a tag or a style sheet could swallow its quotes.
            if (escape == Escape::Text) out += static_cast<char>(code);
        } else if (escape == Escape::Css) {
            out += static_cast<char>(code);
        } else if (code == '&') {
            out += "&amp;";
        } else if (code == '<') {
            out += "&lt;";
        } else if (code == '>') {
            out += "&gt;";
        } else if (code == '"' && escape == Escape::Attribute) {
            out += "&quot;";
        } else {
            out += static_cast<char>(code);
        }
    }
}

std::string ElementName(const GumboElement& element) {
    if (element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(element.tag);
    GumboStringPiece name = element.original_tag;
    gumbo_tag_from_original_text(&name);
    return AsciiLower(std::string_view(name.data, name.length));
}

// What becomes of an element and what it holds.
enum class Treatment { Keep, Unwrap, Remove, TextOnly };

bool IsCharsetMeta(const GumboElement& element) {
    return element.attributes.length == 1 &&
           std::string_view(static_cast<const GumboAttribute*>(element.attributes.data[0])->name) ==
               "charset";
}

Treatment TreatmentOf(const GumboElement& element, const std::string& name, bool inSvg) {
    if (element.tag_namespace == GUMBO_NAMESPACE_SVG)
        return Contains(kSvgElements, name) ? Treatment::Keep : Treatment::Remove;
    // HTML or MathML inside a drawing would be read back differently.
    if (inSvg) return Treatment::Remove;
    if (element.tag_namespace == GUMBO_NAMESPACE_MATHML) return Treatment::TextOnly;
    if (Contains(kHtmlElements, name)) return Treatment::Keep;
    if (name == "meta" && IsCharsetMeta(element)) return Treatment::Keep;
    if (Contains(kRemovedElements, name)) return Treatment::Remove;
    // Forms, their controls and unknown elements give up only their markup.
    return Treatment::Unwrap;
}

// Deeper than this the tree is cut. Each element the nesting bound counts may
// bring up to three the parser adds (a table's body, row and cell), so bodies
// within the bound stay whole.
constexpr std::size_t kMaxTreeDepth = 4 * kMaxHtmlNesting + 128;

class Writer {
  public:
    std::string Run(const GumboOutput& output, std::size_t sizeHint);

  private:
    void Doctype(const GumboDocument& document);
    void Node(const GumboNode& node, bool inSvg, std::size_t depth);
    void Element(const GumboNode& node, bool inSvg, std::size_t depth);
    void Children(const GumboNode& node, bool inSvg, std::size_t depth);
    void TextOf(const GumboNode& node, std::size_t depth);
    void StyleSheet(const GumboNode& node);
    void Attributes(const GumboElement& element, const std::string& name, bool svg);

    std::string out_;
};

std::string Writer::Run(const GumboOutput& output, std::size_t sizeHint) {
    out_.reserve(sizeHint + sizeof kContentSecurityPolicyMeta + 64);
    Doctype(output.document->v.document);
    Node(*output.root, false, 0);
    out_ += '\n';
    return std::move(out_);
}

// The document type as declared (it decides between standards and quirks
// rendering), with only the characters a declaration needs.
void Writer::Doctype(const GumboDocument& document) {
    if (!document.has_doctype) return;
    const auto clean = [](const char* text) {
        std::string kept;
        for (const char* c = text; *c != '\0'; ++c) {
            if (std::isalnum(static_cast<unsigned char>(*c)) ||
                std::string_view(" -/.:,()+;").find(*c) != std::string_view::npos)
                kept += *c;
        }
        return kept;
    };
    out_ += "<!DOCTYPE " + clean(document.name);
    const std::string publicId = clean(document.public_identifier);
    const std::string systemId = clean(document.system_identifier);
    if (!publicId.empty()) out_ += " PUBLIC \"" + publicId + '"';
    if (!systemId.empty()) out_ += (publicId.empty() ? " SYSTEM \"" : " \"") + systemId + '"';
    out_ += ">\n";
}

void Writer::Node(const GumboNode& node, bool inSvg, std::size_t depth) {
    switch (node.type) {
        case GUMBO_NODE_ELEMENT:
            if (depth < kMaxTreeDepth) Element(node, inSvg, depth);
            break;
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_WHITESPACE:
            AppendOutput(out_, node.v.text.text, Escape::Text);
            break;
        default:  // comments, templates, the document
            break;
    }
}

void Writer::Children(const GumboNode& node, bool inSvg, std::size_t depth) {
    const GumboVector& children = node.v.element.children;
    for (unsigned i = 0; i < children.length; ++i)
        Node(*static_cast<const GumboNode*>(children.data[i]), inSvg, depth + 1);
}

void Writer::TextOf(const GumboNode& node, std::size_t depth) {
    if (node.type != GUMBO_NODE_ELEMENT) return Node(node, false, depth);
    const GumboVector& children = node.v.element.children;
    for (unsigned i = 0; i < children.length && depth < kMaxTreeDepth; ++i)
        TextOf(*static_cast<const GumboNode*>(children.data[i]), depth + 1);
}

// A style sheet's text is written as it stands, so it must not end its element early.
void Writer::StyleSheet(const GumboNode& node) {
    std::string css;
    const GumboVector& children = node.v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
            AppendOutput(css, NeutralizeCss(child->v.text.text), Escape::Css);
    }
    for (std::size_t pos = css.find("</"); pos != std::string::npos; pos = css.find("</", pos))
        css.replace(pos, 2, "< /");
    out_ += css;
}

void Writer::Element(const GumboNode& node, bool inSvg, std::size_t depth) {
    const GumboElement& element = node.v.element;
    const std::string name = ElementName(element);
    switch (TreatmentOf(element, name, inSvg)) {
        case Treatment::Remove:
            return;
        case Treatment::Unwrap:
            return Children(node, inSvg, depth);
        case Treatment::TextOnly:
            return TextOf(node, depth);
        case Treatment::Keep:
            break;
    }
    const bool svg = element.tag_namespace == GUMBO_NAMESPACE_SVG;
    out_ += '<' + name;
    Attributes(element, name, svg);
    if (svg && element.children.length == 0) {
        out_ += "/>";
        return;
    }
    out_ += '>';
    if (!svg && Contains(kVoidElements, name)) return;
    if (name == "head") out_ += kContentSecurityPolicyMeta;
    if (name == "style" && !svg)
        StyleSheet(node);
    else
        Children(node, svg, depth);
    out_ += "</" + name + '>';
}

void Writer::Attributes(const GumboElement& element, const std::string& name, bool svg) {
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto& attribute = *static_cast<const GumboAttribute*>(element.attributes.data[i]);
        std::string attributeName = AsciiLower(attribute.name);
        if (attribute.attr_namespace == GUMBO_ATTR_NAMESPACE_XLINK && attributeName == "href")
            attributeName = "xlink:href";
        else if (attribute.attr_namespace != GUMBO_ATTR_NAMESPACE_NONE)
            continue;
        if (!Contains(kAttributes, attributeName) && !attributeName.starts_with("data-")) continue;
        if (attributeName == "charset" && name != "meta") continue;
        // In a drawing every reference is something to load.
        const bool drawingLink = svg && attributeName == "href";
        HtmlAttribute judged{drawingLink ? "xlink:href" : attributeName, {}, true};
        AppendOutput(judged.value, attribute.value, Escape::Css);
        const AttributeAction action = ClassifyAttribute(judged);
        if (action == AttributeAction::Drop) continue;
        out_ += ' ';
        if (action == AttributeAction::Block) out_ += "data-blocked-";
        out_ += attributeName;
        out_ += "=\"";
        // SVG paints may name a url() as style sheets do.
        if (attributeName == "style" || (svg && !drawingLink))
            AppendOutput(out_, NeutralizeCss(attribute.value), Escape::Attribute);
        else
            AppendOutput(out_, attribute.value, Escape::Attribute);
        out_ += '"';
    }
}

// True when the url( ... ) target at `from` is one of the page's own parts or an inline image.
bool IsLocalCssUrl(std::string_view lower, std::size_t from) {
    const std::size_t close = lower.find(')', from);
    const std::string_view target =
        lower.substr(from, close == std::string_view::npos ? lower.npos : close - from);
    const std::size_t start = target.find_first_not_of(" \t\r\n\f\"'");
    if (start == std::string::npos) return false;
    return target.compare(start, 4, "cid:") == 0 || target.compare(start, 11, "data:image/") == 0;
}

// CSS functions that fetch what they name without url(): image sets and the like.
constexpr std::string_view kFetchingCssFunctions[] = {"image-set(", "image(", "cross-fade(",
                                                      "element(",   "src(",   "expression("};

}  // namespace

std::string SanitizeHtml(std::string_view html) {
    // A byte order mark would be text before the document type and turn the page to quirks.
    if (html.starts_with("\xEF\xBB\xBF")) html.remove_prefix(3);
    const std::string text = ToParserText(BoundNesting(html));
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    GumboOutput* output = gumbo_parse_with_options(&options, text.data(), text.size());
    std::string page = Writer().Run(*output, html.size());
    gumbo_destroy_output(&options, output);
    return page;
}

std::string NeutralizeCss(std::string_view css) {
    const std::string lower = AsciiLower(css);
    std::string out;
    out.reserve(css.size());
    std::size_t pos = 0;
    while (pos < css.size()) {
        const auto fetching = std::find_if(
            std::begin(kFetchingCssFunctions), std::end(kFetchingCssFunctions),
            [&](std::string_view name) { return lower.compare(pos, name.size(), name) == 0; });
        if (lower.compare(pos, 4, "url(") == 0 && !IsLocalCssUrl(lower, pos + 4)) {
            const std::size_t close = css.find(')', pos);
            out += "none";
            pos = close == std::string_view::npos ? css.size() : close + 1;
        } else if (fetching != std::end(kFetchingCssFunctions)) {
            // An unknown function makes the whole declaration void.
            out += "blocked-";
            out += css.substr(pos, fetching->size());
            pos += fetching->size();
        } else if (lower.compare(pos, 7, "@import") == 0) {
            out += "@blocked-import";
            pos += 7;
        } else if (css[pos] == '\\') {
            // CSS escapes could spell a url( this scan does not see.
            out += ' ';
            ++pos;
        } else {
            out += css[pos++];
        }
    }
    return out;
}

}  // namespace velmora::messaging
