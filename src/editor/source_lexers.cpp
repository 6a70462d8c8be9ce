#include "editor/source_lexers.h"

#include "editor/source_language.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QColor>
#include <QPalette>

namespace ostrel {

namespace {

// AVR assembler on the editor's assembler lexer: ';' comments, instructions, registers and
// directives.
class AvrAsmLexer : public QsciLexer
{
public:
    enum Style {
        Default = 0,
        Comment = 1,
        Number = 2,
        String = 3,
        Operator = 4,
        Identifier = 5,
        Instruction = 6,
        Register = 8,
        Directive = 9,
        CommentBlock = 11,
        Character = 12,
        UnclosedString = 13,
    };

    using QsciLexer::QsciLexer;

    const char *language() const override { return "AVR Assembler"; }
    const char *lexer() const override { return "asm"; }
    const char *keywords(int set) const override
    {
        static const QByteArray instructions(
            AvrInstructionWords().data(), static_cast<qsizetype>(AvrInstructionWords().size()));
        static const QByteArray registers(
            AvrRegisterWords().data(), static_cast<qsizetype>(AvrRegisterWords().size()));
        static const QByteArray directives(
            AvrDirectiveWords().data(), static_cast<qsizetype>(AvrDirectiveWords().size()));
        switch (set) {
        case 1:
            return instructions.constData();
        case 3:
            return registers.constData();
        case 4:
            return directives.constData();
        default:
            return nullptr;
        }
    }
    QString description(int style) const override
    {
        switch (style) {
        case Default:
            return QStringLiteral("Default");
        case Comment:
            return QStringLiteral("Comment");
        case Number:
            return QStringLiteral("Number");
        case String:
            return QStringLiteral("String");
        case Operator:
            return QStringLiteral("Operator");
        case Identifier:
            return QStringLiteral("Identifier");
        case Instruction:
            return QStringLiteral("Instruction");
        case Register:
            return QStringLiteral("Register");
        case Directive:
            return QStringLiteral("Directive");
        case CommentBlock:
            return QStringLiteral("Block comment");
        case Character:
            return QStringLiteral("Character");
        case UnclosedString:
            return QStringLiteral("Unclosed string");
        default:
            return {};
        }
    }
};

// Colours for the kinds of text, lighter on a dark background.
struct Colours
{
    QColor keyword, comment, number, string, preprocessor, secondary;
};

Colours ColoursFor(const QPalette &palette)
{
    if (palette.color(QPalette::Base).lightness() < 128)
        return { QColor(0x56, 0x9c, 0xd6), QColor(0x6a, 0x99, 0x55), QColor(0xb5, 0xce, 0xa8),
            QColor(0xce, 0x91, 0x78), QColor(0xc5, 0x86, 0xc0), QColor(0x4e, 0xc9, 0xb0) };
    return { QColor(0x00, 0x00, 0xc0), QColor(0x00, 0x80, 0x00), QColor(0x80, 0x40, 0x00),
        QColor(0xa3, 0x15, 0x15), QColor(0x80, 0x00, 0x80), QColor(0x00, 0x70, 0x70) };
}

QsciLexer *MakeLexer(SourceLanguage language, QsciScintilla &editor)
{
    const QPalette palette = editor.palette();
    const Colours colours = ColoursFor(palette);
    QsciLexer *lexer = nullptr;
    if (language == SourceLanguage::C) {
        lexer = new QsciLexerCPP(&editor);
    } else {
        lexer = new AvrAsmLexer(&editor);
    }
    const QFont font = editor.font();
    lexer->setDefaultFont(font);
    lexer->setFont(font, -1);
    lexer->setDefaultPaper(palette.color(QPalette::Base));
    lexer->setPaper(palette.color(QPalette::Base), -1);
    lexer->setDefaultColor(palette.color(QPalette::Text));
    lexer->setColor(palette.color(QPalette::Text), -1);

    if (language == SourceLanguage::C) {
        using L = QsciLexerCPP;
        for (int style : { L::Comment, L::CommentLine, L::CommentDoc, L::CommentLineDoc })
            lexer->setColor(colours.comment, style);
        lexer->setColor(colours.keyword, L::Keyword);
        lexer->setColor(colours.secondary, L::KeywordSet2);
        lexer->setColor(colours.number, L::Number);
        for (int style : { L::DoubleQuotedString, L::SingleQuotedString, L::UnclosedString })
            lexer->setColor(colours.string, style);
        lexer->setColor(colours.preprocessor, L::PreProcessor);
    } else {
        using L = AvrAsmLexer;
        lexer->setColor(colours.comment, L::Comment);
        lexer->setColor(colours.comment, L::CommentBlock);
        lexer->setColor(colours.keyword, L::Instruction);
        lexer->setColor(colours.secondary, L::Register);
        lexer->setColor(colours.preprocessor, L::Directive);
        lexer->setColor(colours.number, L::Number);
        for (int style : { L::String, L::Character, L::UnclosedString })
            lexer->setColor(colours.string, style);
    }
    return lexer;
}

} // namespace

void ApplySourceLexer(QsciScintilla &editor, const std::string &path)
{
    const SourceLanguage language = LanguageOfPath(path);
    const QVariant shown = editor.property("sourceLanguage");
    if (shown.isValid() && shown.toInt() == static_cast<int>(language))
        return;
    editor.setProperty("sourceLanguage", static_cast<int>(language));

    QsciLexer *old = editor.lexer();
    if (language == SourceLanguage::Plain) {
        editor.setLexer(nullptr);
        // The plain lexer marks text styled as it goes, so a paint never styles from the top.
        editor.SendScintilla(QsciScintillaBase::SCI_SETLEXER, 1UL);
    } else {
        editor.setLexer(MakeLexer(language, editor));
        // No fold margin is shown, so the lexer keeps no fold level per line: for a large
        // file that is a megabyte or two that nothing reads.
        editor.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "fold", "0");
    }
    delete old;

    const QPalette palette = editor.palette();
    editor.setMarginsBackgroundColor(palette.color(QPalette::Window));
    editor.setMarginsForegroundColor(palette.color(QPalette::WindowText));
    editor.setCaretForegroundColor(palette.color(QPalette::Text));
    editor.setMatchedBraceForegroundColor(palette.color(QPalette::HighlightedText));
    editor.setMatchedBraceBackgroundColor(palette.color(QPalette::Highlight));
    editor.setUnmatchedBraceForegroundColor(QColor(0xd0, 0x00, 0x00));
}

} // namespace ostrel
