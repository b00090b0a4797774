// PrintDlgA on Linux: our own modal print-setup dialog over the spooler's printers and forms, and
// CommDlgExtendedError for its failures. What the user picks is not written back anywhere: the
// dialog reports only OK (nonzero) or Cancel (0).
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstddef>
#include <vector>

#include "platform/qt/gui_qt_internal.h"
#include "platform/spooler.h"

namespace gui::qt {
namespace {

// The error of the last PrintDlgA call, as CommDlgExtendedError reports it.
thread_local DWORD lastDialogError = 0;

// Paper sizes offered when the spooler lists no forms.
const char* const kFallbackPaperSizes[] = {"A4", "A3", "A5", "B5 (JIS)", "Letter", "Legal"};

// Runs a two-pass enumeration into an aligned, zero-filled block; the records and their count, or
// nothing when it fails.
template <typename Record, typename Enumerate>
std::vector<Record> Enumerated(std::vector<std::max_align_t>& block, Enumerate enumerate) {
    DWORD needed = 0;
    DWORD returned = 0;
    enumerate(nullptr, 0, &needed, &returned);
    if (needed == 0) {
        return {};
    }
    block.assign(needed / sizeof(std::max_align_t) + 1, std::max_align_t{});
    if (!enumerate(reinterpret_cast<LPBYTE>(block.data()), needed, &needed, &returned)) {
        return {};
    }
    const auto* records = reinterpret_cast<const Record*>(block.data());
    return std::vector<Record>(records, records + returned);
}

QStringList PrinterNames() {
    std::vector<std::max_align_t> block;
    const auto printers = Enumerated<PRINTER_INFO_2A>(
        block, [](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer,
                                 size, needed, returned);
        });
    QStringList names;
    for (const PRINTER_INFO_2A& printer : printers) {
        if (printer.pPrinterName != nullptr) {
            names << QString::fromUtf8(printer.pPrinterName);
        }
    }
    return names;
}

QString DefaultPrinter() {
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0) {
        return {};
    }
    std::vector<char> name(size + 1, '\0');
    if (!GetDefaultPrinterA(name.data(), &size)) {
        return {};
    }
    return QString::fromUtf8(name.data());
}

// The forms of the default printer, or the fixed list when the spooler gives none.
QStringList PaperSizes(const QString& printer) {
    QStringList sizes;
    HANDLE handle = nullptr;
    QByteArray name = printer.toUtf8();
    if (!printer.isEmpty() && OpenPrinterA(name.data(), &handle, nullptr) && handle != nullptr) {
        std::vector<std::max_align_t> block;
        const auto forms = Enumerated<FORM_INFO_1A>(
            block, [handle](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
                return EnumFormsA(handle, 1, buffer, size, needed, returned);
            });
        for (const FORM_INFO_1A& form : forms) {
            if (form.pName != nullptr) {
                sizes << QString::fromUtf8(form.pName);
            }
        }
        ClosePrinter(handle);
    }
    if (sizes.isEmpty()) {
        for (const char* size : kFallbackPaperSizes) {
            sizes << QString::fromUtf8(size);
        }
    }
    return sizes;
}

QDialog* BuildDialog(QWidget* owner, DWORD flags) {
    auto* dialog = new QDialog(owner);
    dialog->setObjectName(QString::fromLatin1(kPrintSetupDialogName));
    dialog->setWindowTitle(QStringLiteral("打印设置"));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setProperty(kPrintSetupFlagsProperty, QVariant::fromValue<quint32>(flags));

    auto* printerGroup = new QGroupBox(QStringLiteral("打印机"), dialog);
    auto* printerForm = new QFormLayout(printerGroup);
    auto* printers = new QComboBox(printerGroup);
    printers->setObjectName(QStringLiteral("printer"));
    printers->addItems(PrinterNames());
    const QString defaultPrinter = DefaultPrinter();
    printers->setCurrentIndex(printers->findText(defaultPrinter, Qt::MatchExactly));
    printerForm->addRow(QStringLiteral("名称:"), printers);

    auto* paperGroup = new QGroupBox(QStringLiteral("纸张"), dialog);
    auto* paperForm = new QFormLayout(paperGroup);
    auto* paper = new QComboBox(paperGroup);
    paper->setObjectName(QStringLiteral("paperSize"));
    paper->addItems(PaperSizes(defaultPrinter));
    paperForm->addRow(QStringLiteral("大小:"), paper);

    auto* orientationGroup = new QGroupBox(QStringLiteral("方向"), dialog);
    auto* orientationLayout = new QVBoxLayout(orientationGroup);
    auto* portrait = new QRadioButton(QStringLiteral("纵向"), orientationGroup);
    auto* landscape = new QRadioButton(QStringLiteral("横向"), orientationGroup);
    portrait->setChecked(true);
    orientationLayout->addWidget(portrait);
    orientationLayout->addWidget(landscape);

    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(paperGroup, 1);
    paperRow->addWidget(orientationGroup);

    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("ok"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(printerGroup);
    layout->addLayout(paperRow);
    layout->addWidget(buttons);
    return dialog;
}

}  // namespace
}  // namespace gui::qt

BOOL PrintDlgA(LPPRINTDLGA pPD) {
    using gui::qt::lastDialogError;
    if (pPD == nullptr) {
        lastDialogError = CDERR_INITIALIZATION;
        return FALSE;
    }
    if (pPD->lStructSize != sizeof(PRINTDLGA)) {
        lastDialogError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        lastDialogError = CDERR_INITIALIZATION;
        return FALSE;
    }
    QWidget* owner =
        pPD->hwndOwner != nullptr
            ? QWidget::find(static_cast<WId>(reinterpret_cast<quintptr>(pPD->hwndOwner)))
            : nullptr;
    const QPointer<QDialog> dialog = gui::qt::BuildDialog(owner, pPD->Flags);
    const bool ok = dialog->exec() == QDialog::Accepted;
    delete dialog.data();  // null if its owner went away while it was open
    lastDialogError = 0;
    return ok ? TRUE : FALSE;
}

DWORD CommDlgExtendedError() {
    return gui::qt::lastDialogError;
}
