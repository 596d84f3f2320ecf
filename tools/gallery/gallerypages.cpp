#include "tools/gallery/gallerypages.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QVBoxLayout>
#include <QListView>
#include <QStandardItemModel>
#include <QRadioButton>
#include <QTest>

#include "libgui/icons/icons.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libtagging/model/tagitem.h"
#include "libgui/buttons/wordwrappedbutton.h"
#include "libgui/combos/extcombobox.h"
#include "libcore/progress/linearprogressobject.h"
#include "libgui/dialogs/commondialog.h"
#include "libgui/numbers/bytesizeeditor.h"
#include "libgui/numbers/sliderselector.h"
#include "libgui/progress/progressdialog.h"
#include "libgui/edits/contentassistlineedit.h"
#include "libgui/edits/contenttiplabel.h"
#include "libgui/logviews/logmessagedialog.h"
#include "libgui/tables/tableeditorwidget.h"

void Gallery::snap(const QString &name, QWidget *widget)
{
    if (!widget->isVisible())
        widget->show();
    QApplication::processEvents();
    QTest::qWait(20);
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    const QPixmap picture = widget->grab();
    if (picture.isNull() || !picture.save(path))
        failures.append(QStringLiteral("cannot render %1").arg(name));
    else
        ++written;
}

void Gallery::save(const QString &name, QWidget *widget)
{
    snap(name, widget);
    delete widget;
}

namespace {

// A page with one line of input that must not be empty.
class NamePage : public CommonDialogLayoutPage
{
public:
    NamePage()
    {
        edit = new QLineEdit();
        addSection(edit, QStringLiteral("Library name"),
                   QStringLiteral("The name under which the library appears in menus."));
        auto *option = new QCheckBox(QStringLiteral("Keep the folder structure of the added files"));
        addSection(option, QStringLiteral("Options"), QString());
        connect(edit, &QLineEdit::textChanged, this, &CommonDialogPage::updateDialogGui);
    }

    ValidationResult validate() override
    {
        ValidationResult result;
        if (edit->text().trimmed().isEmpty()) {
            result.valid = false;
            result.messages.append({Error, QStringLiteral("Enter a name for the library.")});
        }
        if (edit->text().contains(QLatin1Char('/')))
            result.messages.append({Warning, QStringLiteral("Slashes make sub-folders.")});
        result.messages.append({Info, QStringLiteral("See <a href='other'>the other page</a>.")});
        return result;
    }

    QLineEdit *edit;
};

class GalleryDialog : public CommonDialog
{
public:
    explicit GalleryDialog(const QString &text)
    {
        setWindowTitle(QStringLiteral("Library"));
        page = new NamePage();
        page->edit->setText(text);
        setPages({page});
        setCurrentPage(page);
    }

    void withSideWidget()
    {
        auto *side = new QLabel(QStringLiteral("<b>Pages</b><br>General<br>Folders"));
        side->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        setSideWidget(side);
    }

    void withWizardButtons()
    {
        backButton->show();
        nextButton->show();
        backButton->setEnabled(false);
    }

    NamePage *page;
};

void renderDialogs(Gallery &gallery)
{
    gallery.save(QStringLiteral("commondialog-valid"), new GalleryDialog(QStringLiteral("Rock")));
    gallery.save(QStringLiteral("commondialog-error"), new GalleryDialog(QString()));
    auto *warning = new GalleryDialog(QStringLiteral("Rock/Classic"));
    warning->withSideWidget();
    warning->withWizardButtons();
    gallery.save(QStringLiteral("commondialog-warning-side-wizard"), warning);
    auto *disabled = new GalleryDialog(QStringLiteral("Jazz"));
    disabled->page->setEnabled(false);
    gallery.save(QStringLiteral("commondialog-disabled"), disabled);
}

TableEditorWidget *peopleEditor()
{
    auto *editor = new TableEditorWidget();
    editor->setColumns({QStringLiteral("Involvement"), QStringLiteral("Person")});
    return editor;
}

void renderTables(Gallery &gallery)
{
    gallery.save(QStringLiteral("tableeditor-empty"), peopleEditor());
    auto *filled = peopleEditor();
    const QStringList rows = {QStringLiteral("Producer"), QStringLiteral("Mix"), QStringLiteral("Mastering")};
    filled->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        filled->setValue(r, 0, rows.at(r));
        if (r != 1)
            filled->setValue(r, 1, QStringLiteral("Person %1").arg(r + 1));
    }
    filled->resizeColumnsToContents();
    filled->table->setCurrentCell(1, 0);
    gallery.save(QStringLiteral("tableeditor-filled"), filled);
    auto *disabled = peopleEditor();
    disabled->setRowCount(1);
    disabled->setValue(0, 0, QStringLiteral("Producer"));
    disabled->setEnabled(false);
    gallery.save(QStringLiteral("tableeditor-disabled"), disabled);
}

LogMessage galleryMessage(LogLevel level, const QString &text, int second)
{
    LogMessage m(text, level);
    m.time = 1767225600000LL + second * 1000LL + 7;
    return m;
}

void fillLogger(BufferedLogger &logger)
{
    logger.setRegistered(false);
    logger.log(galleryMessage(Info, QStringLiteral("Saving 3 files."), 0));
    logger.log(galleryMessage(Warning, QStringLiteral("The tag of \"02 Blue.mp3\" was shortened to fit."), 1));
    logger.log(galleryMessage(Error, QStringLiteral("Cannot write \"03 Green.flac\": the file is write-protected."), 2));
    logger.log(galleryMessage(Error, QStringLiteral("Cannot write \"04 Red.ogg\": the disk is full."), 3));
}

void renderLogViews(Gallery &gallery)
{
    BufferedLogger empty;
    empty.setRegistered(false);
    gallery.save(QStringLiteral("logtable-empty"), new LogTableWidget(&empty));
    BufferedLogger logger;
    fillLogger(logger);
    auto *table = new LogTableWidget(&logger);
    table->setLevelShown(Info, true);
    gallery.save(QStringLiteral("logtable-filled"), table);

    gallery.save(QStringLiteral("logmessagewidget-empty"), new LogMessageWidget(&empty));
    auto *widget = new LogMessageWidget(&logger);
    widget->setTableShown(true);
    gallery.save(QStringLiteral("logmessagewidget-details"), widget);

    gallery.save(QStringLiteral("logmessagedialog-empty"), new LogMessageDialog(&empty));
    auto *dialog = new LogMessageDialog(&logger);
    gallery.snap(QStringLiteral("logmessagedialog-folded"), dialog);
    Q_EMIT dialog->textLabel->linkActivated(QStringLiteral("."));
    gallery.save(QStringLiteral("logmessagedialog-details"), dialog);

    auto *hint = new DidYouKnowDialog();
    hint->setText(QStringLiteral("You can add the saved files to a music library with <b>Add to library</b> "
                                 "in the file menu."));
    gallery.save(QStringLiteral("didyouknow"), hint);
}

// A popup of tag-script words under a heading, each with a description.
class WordPopup : public QListView, public IContentAssistPopup
{
public:
    WordPopup()
    {
        auto *heading = new QStandardItem(QStringLiteral("Fields"));
        heading->setFlags(Qt::ItemIsEnabled);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        model.appendRow(heading);
        for (const QString &word : {QStringLiteral("%artist%"), QStringLiteral("%album%"), QStringLiteral("%title%")}) {
            auto *item = new QStandardItem(word);
            item->setData(word, Qt::UserRole);
            item->setToolTip(QStringLiteral("The <b>%1</b> field of the file's tag.").arg(word.mid(1).chopped(1)));
            model.appendRow(item);
        }
        setModel(&model);
    }

    QAbstractItemView *contentAssistView() override { return this; }
    int completionRole() override { return Qt::UserRole; }
    void updateContentAssist(const QString &, int) override {}
    int replaceStart() override { return 0; }
    int replaceLength() override { return 0; }

    QStandardItemModel model;
};

void renderLineEdits(Gallery &gallery)
{
    auto lineEdit = [](const QString &text, bool enabled) {
        auto *edit = new ExtLineEdit(text);
        edit->setInactiveText(QStringLiteral("Artist of the album"));
        edit->setEnabled(enabled);
        edit->setMinimumWidth(240);
        return edit;
    };
    // The hint shows only without focus.
    auto *hinted = lineEdit(QString(), true);
    hinted->setFocusPolicy(Qt::NoFocus);
    gallery.save(QStringLiteral("extlineedit-empty-hint"), hinted);
    gallery.save(QStringLiteral("extlineedit-filled"), lineEdit(QStringLiteral("The Beatles"), true));
    gallery.save(QStringLiteral("extlineedit-disabled"), lineEdit(QStringLiteral("The Beatles"), false));

    auto *assist = new ContentAssistLineEdit(QStringLiteral("%artist% - "));
    assist->setMinimumWidth(240);
    auto *popup = new WordPopup();
    assist->setContentAssistPopup(popup);
    gallery.snap(QStringLiteral("contentassist-edit"), assist);
    assist->setCursorPosition(int(assist->text().size()));
    assist->showContentAssist();
    popup->setCurrentIndex(popup->model.index(2, 0));
    gallery.snap(QStringLiteral("contentassist-popup"), popup);
    gallery.snap(QStringLiteral("contenttip"), ContentTipLabel::instance());
    ContentTipLabel::hideTip();
    delete assist;
}

// A plain form around a widget, as the widget stands in a dialog.
QWidget *inForm(QWidget *widget)
{
    auto *form = new QWidget();
    (new QVBoxLayout(form))->addWidget(widget);
    return form;
}

void renderCombos(Gallery &gallery)
{
    gallery.save(QStringLiteral("extcombobox-empty"), inForm(new ExtComboBox()));
    auto *filled = new ExtComboBox();
    filled->addItems({QStringLiteral("ID3v2.3"), QStringLiteral("ID3v2.4"), QStringLiteral("APE")});
    gallery.save(QStringLiteral("extcombobox-filled"), inForm(filled));
    auto *disabled = new ExtComboBox();
    disabled->addItem(QStringLiteral("ID3v2.4"));
    disabled->setEnabled(false);
    gallery.save(QStringLiteral("extcombobox-disabled"), inForm(disabled));

    auto *language = new LanguageComboBox();
    language->setCurrentIndex(language->findText(QStringLiteral("German")));
    gallery.save(QStringLiteral("languagecombobox"), inForm(language));
    auto *country = new CountryComboBox();
    country->setCurrentIndex(-1);
    gallery.save(QStringLiteral("countrycombobox-empty"), inForm(country));
    auto *script = new ScriptComboBox();
    script->setCurrentIndex(script->findText(QStringLiteral("Latin")));
    gallery.save(QStringLiteral("scriptcombobox"), inForm(script));
    auto *locale = new LocaleComboBox();
    locale->setCurrentIndex(locale->findData(QStringLiteral("en-GB")));
    locale->setEnabled(false);
    gallery.save(QStringLiteral("localecombobox-disabled"), inForm(locale));
    auto *popup = new ExtComboBox();
    popup->addItems({QStringLiteral("ID3v2.3"), QStringLiteral("ID3v2.4"), QStringLiteral("APE")});
    popup->show();
    popup->showPopupInstantly();
    gallery.snap(QStringLiteral("extcombobox-popup"), popup->view()->window());
    popup->hidePopup();
    delete popup;
}

void renderButtons(Gallery &gallery)
{
    auto *form = new QWidget();
    auto *layout = new QVBoxLayout(form);
    const QString long1 = QStringLiteral("Write ID3v2.3 tags instead of ID3v2.4 tags, so that older players read them");
    auto *check = new ExtCheckBox(long1);
    check->setWordWrap(true);
    check->setChecked(true);
    auto *radio1 = new ExtRadioButton(QStringLiteral("Keep the files where they are and only change their tags"));
    radio1->setWordWrap(true);
    radio1->setChecked(true);
    auto *radio2 = new ExtRadioButton(QStringLiteral("Move the files into the library folder named by the pattern"));
    radio2->setWordWrap(true);
    auto *off = new ExtCheckBox(QStringLiteral("A disabled option with a text long enough to wrap"));
    off->setWordWrap(true);
    off->setEnabled(false);
    for (QWidget *w : {static_cast<QWidget *>(check), static_cast<QWidget *>(radio1), static_cast<QWidget *>(radio2),
                       static_cast<QWidget *>(off)})
        layout->addWidget(w);
    form->resize(260, form->sizeHint().height());
    gallery.snap(QStringLiteral("wordwrappedbuttons-narrow"), form);
    form->resize(260, form->heightForWidth(260) > 0 ? form->heightForWidth(260) : 260);
    gallery.snap(QStringLiteral("wordwrappedbuttons-narrow"), form);
    delete form;
}

void renderProgress(Gallery &gallery)
{
    LinearProgressObject progress;
    progress.setMaximum(250);
    progress.setStatusText(QStringLiteral("Reading \"%1\""));
    progress.setStatusArguments({QStringLiteral("/home/user/Music/Various Artists/Summer Hits/07 Sunshine.mp3")});
    progress.setValue(97);
    auto *dialog = new ProgressDialog(&progress);
    QTest::qWait(150); // it shows itself after 100 ms
    gallery.save(QStringLiteral("progressdialog-bar"), dialog);

    LinearProgressObject search;
    search.setStatusText(QStringLiteral("Searching \"%1\""));
    search.setStatusArguments({QStringLiteral("/home/user/Music/Jazz")});
    auto *searching = new ProgressDialog(&search);
    searching->progressBar->hide();
    QTest::qWait(150);
    gallery.save(QStringLiteral("progressdialog-status-only"), searching);
}

void renderNumbers(Gallery &gallery)
{
    auto *empty = new ExtSpinBox();
    empty->setRange(0, 9999);
    empty->setEmptyForMinimum(true);
    gallery.save(QStringLiteral("extspinbox-empty"), inForm(empty));
    auto *filled = new ExtSpinBox();
    filled->setRange(0, 9999);
    filled->setValue(2024);
    gallery.save(QStringLiteral("extspinbox-filled"), inForm(filled));
    auto *disabled = new ExtSpinBox();
    disabled->setValue(12);
    disabled->setEnabled(false);
    gallery.save(QStringLiteral("extspinbox-disabled"), inForm(disabled));

    auto *bytes = new ByteSizeEditor();
    bytes->setValue(3 * 1048576);
    gallery.save(QStringLiteral("bytesizeeditor-mib"), inForm(bytes));
    auto *odd = new ByteSizeEditor();
    odd->setValue(2147483647);
    gallery.save(QStringLiteral("bytesizeeditor-bytes"), inForm(odd));
    auto *off = new ByteSizeEditor();
    off->setValue(65536);
    off->setEnabled(false);
    gallery.save(QStringLiteral("bytesizeeditor-disabled"), inForm(off));

    auto *quality = new SliderSelector();
    quality->setLabels(QStringLiteral("Smallest file"), QStringLiteral("Best quality"));
    quality->setValue(85);
    gallery.save(QStringLiteral("sliderselector-labels"), inForm(quality));
    auto *plainSlider = new SliderSelector();
    plainSlider->setLabels(QString(), QStringLiteral("Best quality"));
    plainSlider->setEnabled(false);
    gallery.save(QStringLiteral("sliderselector-disabled"), inForm(plainSlider));
}

} // namespace

void renderGalleryPages(Gallery &gallery)
{
    renderDialogs(gallery);
    renderTables(gallery);
    renderLogViews(gallery);
    renderLineEdits(gallery);
    renderCombos(gallery);
    renderButtons(gallery);
    renderProgress(gallery);
    renderNumbers(gallery);
    renderCommandsAndSettings(gallery);
    renderTagEditors(gallery);
    renderNaming(gallery);
    renderTextDialogs(gallery);
}

bool mountApplicationPackages(Gallery &gallery, const QString &what)
{
    // Mounting a package twice would load its text table twice.
    static bool mounted = false;
    if (mounted)
        return true;
    try {
        registerResourceFiles({QStringLiteral("libtagging.rcc")});
        registerResourceFile(QStringLiteral("melotaxonic.rcc"), QStringLiteral(":/app"));
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        TextCatalogue::applyLanguage(english, english);
    } catch (const Exception &) {
        gallery.failures.append(QStringLiteral("cannot mount the application's packages for the %1").arg(what));
        return false;
    }
    registerTagItemTypes();
    if (!iconRootDirectories().contains(QStringLiteral(":/app/icons")))
        iconRootDirectories().append(QStringLiteral(":/app/icons"));
    mounted = true;
    return true;
}
