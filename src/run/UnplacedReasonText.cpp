#include "run/UnplacedReasonText.h"

namespace tavorin {
namespace {

QString sentenceFor(xls::ErrorKind kind)
{
    switch (kind) {
    case xls::ErrorKind::PictureUnreadable: return QStringLiteral("画像ファイルが見つからないか、読み取れません");
    case xls::ErrorKind::PictureTooLarge: return QStringLiteral("画像ファイルが大きすぎます（256 MB まで）");
    case xls::ErrorKind::PictureUnknown:
        return QStringLiteral("対応していない形式のファイルです（JPEG, PNG, BMP, GIF, TIFF, EMF, WMF, HEIC, WebP に対応）");
    case xls::ErrorKind::PictureUnsupported: return QStringLiteral("この形式の画像はブックに貼り付けられません");
    case xls::ErrorKind::PictureDamaged: return QStringLiteral("画像が壊れているか、読み取れない種類のファイルです");
    case xls::ErrorKind::PictureNotKept: return QStringLiteral("画像を変換して一時フォルダーに置けません");
    case xls::ErrorKind::PictureOffSheet: return QStringLiteral("画像がシートの範囲に収まりません");
    case xls::ErrorKind::PictureWithoutSize: return QStringLiteral("画像の大きさが 0 です");
    case xls::ErrorKind::WorkbookTooLarge:
    case xls::ErrorKind::Unspecified: break;
    }
    return QStringLiteral("画像を挿入できません");
}

} // namespace

QString pictureNotInsertedText(const SpreadsheetError& error)
{
    const std::string detail = error.kind == xls::ErrorKind::Unspecified ? error.describe() : error.detail;
    QString text = sentenceFor(error.kind);
    if (!detail.empty())
        text += QStringLiteral("（") + QString::fromStdString(detail) + QStringLiteral("）");
    return text;
}

} // namespace tavorin
