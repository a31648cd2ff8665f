#include "shell/text_document_convert.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace {

Qt::Alignment ToQt(rich::Alignment alignment) {
    switch (alignment) {
        case rich::Alignment::kCenter: return Qt::AlignHCenter;
        case rich::Alignment::kRight: return Qt::AlignRight;
        case rich::Alignment::kJustify: return Qt::AlignJustify;
        case rich::Alignment::kLeft: break;
    }
    return Qt::AlignLeft;
}

rich::Alignment FromQt(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) return rich::Alignment::kCenter;
    if (alignment & Qt::AlignRight) return rich::Alignment::kRight;
    if (alignment & Qt::AlignJustify) return rich::Alignment::kJustify;
    return rich::Alignment::kLeft;
}

QTextCharFormat ToQt(const rich::CharFormat& format) {
    QTextCharFormat out;
    out.setFontFamilies({QString::fromStdString(format.font)});
    out.setFontPointSize(format.halfPoints / 2.0);
    out.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    out.setFontItalic(format.italic);
    out.setFontUnderline(format.underline);
    out.setFontStrikeOut(format.strikeOut);
    if (format.hasColour) out.setForeground(QColor::fromRgb(format.colour));
    return out;
}

rich::CharFormat FromQt(const QTextCharFormat& format, const QFont& defaultFont) {
    rich::CharFormat out;
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() || families.front().isEmpty() ? defaultFont.family() : families.front();
    out.font = family.toStdString();
    const double points = format.fontPointSize() > 0 ? format.fontPointSize() : defaultFont.pointSizeF();
    out.halfPoints = std::max(2, static_cast<int>(std::lround(points * 2)));
    out.bold = format.fontWeight() >= QFont::DemiBold;
    out.italic = format.fontItalic();
    out.underline = format.fontUnderline();
    out.strikeOut = format.fontStrikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush) {
        out.hasColour = true;
        out.colour = format.foreground().color().rgb() & 0xFFFFFF;
    }
    return out;
}

}  // namespace

void FillTextDocument(QTextDocument& target, const rich::Document& source) {
    target.setUndoRedoEnabled(false);
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const rich::Paragraph& paragraph : source.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(ToQt(paragraph.alignment));
        if (first) {
            cursor.setBlockFormat(block);
        } else {
            cursor.insertBlock(block);
        }
        first = false;
        for (const rich::Run& run : paragraph.runs) {
            cursor.insertText(QString::fromStdString(run.text), ToQt(run.format));
        }
        // An empty paragraph keeps the format its text would have had.
        if (paragraph.runs.size() == 1 && paragraph.runs.front().text.empty()) {
            cursor.setBlockCharFormat(ToQt(paragraph.runs.front().format));
        }
    }
    cursor.endEditBlock();
    target.setUndoRedoEnabled(true);
    target.setModified(false);
}

rich::Document ToRichDocument(const QTextDocument& source) {
    rich::Document out;
    const QFont defaultFont = source.defaultFont();
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        rich::Paragraph paragraph;
        paragraph.alignment = FromQt(block.blockFormat().alignment());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            paragraph.runs.push_back({fragment.text().toStdString(), FromQt(fragment.charFormat(), defaultFont)});
        }
        out.paragraphs.push_back(std::move(paragraph));
    }
    if (out.paragraphs.empty()) out.paragraphs.emplace_back();
    return out;
}
