#include "generator/generator_settings.h"

#include <algorithm>

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "generator/eq_chart_panel.h"
#include "presenter/square_preview.h"
#include "generator/sq_preview_window.h"
#include "generator/settings_table.h"
#include "info/shown_text.h"

namespace zorvane::generator_ui {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The fixed hints; "\r" breaks a line.
constexpr std::pair<const char*, const char*> kHints[] = {
    {"BtnAddZM", "Show the generator how maps are built\rThe maps can use different zp's, providing that they "
                 "contain some identical bitmaps and one palette."},
    {"SEzmMultiplier", "Multiplier - duplicates squares of selected map\r(slows down the generator and may require "
                       "higher \"max calculated combinations\")"},
    {"CBzmConnector", "All squares from the \"connector\" map can be used alternatively\r(recommended for source maps "
                      "containing only grass, water and other 1-square individual fillers)"},
    {"CBgatherTS", "Merges tiles lists from all *.zp's"},
    {"CBlearnFrequencies", "Also counts how often every square and every join occurs in the maps,\rso that generated "
                           "maps use frequent squares as often as their examples do."},
    {"BtnLearn", "Starts analyzing added maps.\rThe results of this process will be listed by clicking \"Show squares "
                 "neighbors\" / \"Show identified objects\" buttons."},
    {"BtnLoad", "You don't need to click the \"Learn\" button after loading preset."},
    {"BtnSave", "Saves all the generator data including added maps, tile sets and settings."},
    {"SEsizeX", "(without borders)"},
    {"SEsizeY", "(without borders)"},
    {"SEstartingLine", "Note that the generator cannot withdraw before the startline."},
    {"CBcontinueOldSquares", "Keeps squares above the start line.\rTo continue generating previously saved map, open "
                             "it and reload generator settings (Learn/Load)\r(Map and generator tile sets must be "
                             "compatible!)"},
    {"CBsimplified1stLine", "Faster start in most cases"},
    {"EPlannedRepeats",
     "If generator did't find complete combination of matched squares for the new line, it has to go back to find "
     "another way.\rIf there is a \"max calculated combinations\" limit (not all possible), there is a chance to "
     "find complete combination without withdrawal.\re.g. \"100-1; 1000-2;\" means: \"after 100 failed trials (local "
     "attempts) go back about 1 line; after counting 1000 failed trials, go back about 2 lines."},
    {"CBreduceLAC", "(recommended)"},
    {"CBfirstAttempts", "Different limit for local attempts when generating second line\r(below the start line)"},
    {"CBmax1stStatesAttempts", "Keeps growing (correct) squares for the next attempt\r(works only with simplified "
                               "calculation) (recommended)"},
    {"CBfreezer", "Skips calculating correct fragments until they will be unfreezed.\r(recommended for large "
                  "maps)\r* Theoretically very useful, but seems to be unprofitable in practice."},
    {"SEfreezer", "Freeze hp should be less than [number of local attempts until repeat]/[mapSizeX*0.1]"},
    {"RBLnocWay", "Sometimes it may cover effect of the above chart\r(0.5 is neutral)"},
    {"RBConnectorsWay", "Works only when connectors are defined (recommended)\r(0.5 is neutral)"},
};

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// Makes the window's controls with the object names the table of settings
// and the tests find them by. Each is made with the window as its parent
// (the layout of its group adopts it), so that the order they are made in is
// the order Tab visits them.
class ControlMaker {
public:
    explicit ControlMaker(GeneratorSettingsWindow& window) : window_(window) {}

    QCheckBox* Check(const char* name, const char* caption) const {
        return Named(new QCheckBox(QString::fromLatin1(caption), &window_), name);
    }
    QSpinBox* Spin(const char* name) const { return Named(new QSpinBox(&window_), name); }
    QSlider* Slider(const char* name) const { return Named(new QSlider(Qt::Horizontal, &window_), name); }
    QPushButton* Button(const char* name, const char* caption) const {
        auto* b = Named(new QPushButton(QString::fromLatin1(caption), &window_), name);
        b->setAutoDefault(false);
        return b;
    }
    // A button that runs a command of the window.
    QPushButton* Button(const char* name, const char* caption, void (GeneratorSettingsWindow::*click)()) const {
        auto* b = Button(name, caption);
        QObject::connect(b, &QPushButton::clicked, &window_, [w = &window_, click] { (w->*click)(); });
        return b;
    }
    QLabel* Label(const char* caption) const { return new QLabel(QString::fromLatin1(caption), &window_); }
    // A radio button of a pair, made in its group.
    static QRadioButton* Radio(QGroupBox* group, const char* name, const char* caption) {
        return Named(new QRadioButton(QString::fromLatin1(caption), group), name);
    }
    std::pair<QGroupBox*, QGridLayout*> Group(const char* caption) const {
        auto* g = new QGroupBox(QString::fromLatin1(caption), &window_);
        return std::pair{g, new QGridLayout(g)};
    }

private:
    GeneratorSettingsWindow& window_;
};

}  // namespace

GeneratorSettingsWindow::GeneratorSettingsWindow(GeneratorSettingsHost& window)
    : QDialog(&window.Widget()),
      window_(window),
      session_(window.generatorSession()),
      engine_(window.generationEngine()),
      ui_(window.ui(), [this](std::string_view text) { session_.SetStatus(text); }) {
    setObjectName(QStringLiteral("TFGeneratorSettings"));
    setWindowTitle(QStringLiteral("Generator Settings"));
    setModal(true);
    window.project().Generator = &generator_;
    CreateControls();
    Lstatus->setText(app::ShownText(session_.Status()));
    session_.WhenStatusChanges([this](const std::string& text) {
        Lstatus->setText(app::ShownText(text));
        Lstatus->repaint();
    });
    BindSettings();
    for (const auto& [name, hint] : kHints)
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name))) w->setToolTip(app::ShownText(hint));
    MirrorMainProgress();
    ChooseZmFiles = [this] {
        std::vector<std::string> files;
        for (const QString& f : QFileDialog::getOpenFileNames(this, QStringLiteral("Open"), {},
                                                              QStringLiteral("zme projects (*.zm)"), nullptr,
                                                              QFileDialog::DontUseNativeDialog))
            files.push_back(f.toStdString());
        return files;
    };
    ShowSettings();
}

GeneratorSettingsWindow::~GeneratorSettingsWindow() {
    session_.WhenStatusChanges(nullptr);
    if (window_.project().Generator == &generator_) window_.project().Generator = nullptr;
}

// The groups in the order Tab visits them, laid out in three columns.
void GeneratorSettingsWindow::CreateControls() {
    QGroupBox* learning = CreateLearningGroup();
    QGroupBox* map = CreateMapGroup();
    QGroupBox* general = CreateGeneralGroup();
    QGroupBox* calculations = CreateCalculationsGroup();
    QGroupBox* repeats = CreateRepeatsGroup();
    QGroupBox* traits = CreateCharacteristicsGroup();
    QGroupBox* backup = CreateBackupGroup();
    ProgressBar = Named(new QProgressBar(this), "ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->hide();
    BtnClose = ControlMaker(*this).Button("BtnClose", "Close");
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::accept);
    LayOutColumns({{learning, map, general}, {calculations, repeats, backup}, {traits}});
}

QGroupBox* GeneratorSettingsWindow::CreateLearningGroup() {
    const ControlMaker make(*this);
    auto [learning, lg] = make.Group("Learning");
    LBzmPaths = Named(new QListWidget(this), "LBzmPaths");
    BtnAddZM = make.Button("BtnAddZM", "Add *.zm files", &GeneratorSettingsWindow::BtnAddZMClick);
    BtnDelZM = make.Button("BtnDelZM", "Delete selected", &GeneratorSettingsWindow::BtnDelZMClick);
    BtnClearZM = make.Button("BtnClearZM", "Clear list", &GeneratorSettingsWindow::BtnClearZMClick);
    SEzmMultiplier = make.Spin("SEzmMultiplier");
    SEzmMultiplier->setRange(SEzmMultiplierRange.Min, SEzmMultiplierRange.Max);
    CBzmConnector = make.Check("CBzmConnector", "Connector");
    CBselectZp = make.Check("CBselectZp", "force using another *.zp (click to select file)");
    CBgatherTS = make.Check("CBgatherTS", "Collect tile sets from all *.zp's into one *.zp");
    CBlearnFrequencies = make.Check("CBlearnFrequencies", "Learn how often squares occur");
    BtnLearn = make.Button("BtnLearn", "Learn", &GeneratorSettingsWindow::BtnLearnClick);
    BtnLoad = make.Button("BtnLoad", "Load", &GeneratorSettingsWindow::BtnLoadClick);
    BtnSave = make.Button("BtnSave", "Save", &GeneratorSettingsWindow::BtnSaveClick);
    Lstatus = Named(new QLabel(this), "Lstatus");
    // A long report wraps inside the group instead of widening the window.
    Lstatus->setWordWrap(true);
    Lstatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lg->addWidget(LBzmPaths, 0, 0, 4, 3);
    lg->addWidget(BtnAddZM, 0, 3);
    lg->addWidget(BtnDelZM, 1, 3);
    lg->addWidget(BtnClearZM, 2, 3);
    lg->addWidget(make.Label("multiplier:"), 4, 0);
    lg->addWidget(SEzmMultiplier, 4, 1);
    lg->addWidget(CBzmConnector, 4, 2);
    lg->addWidget(CBselectZp, 5, 0, 1, 4);
    lg->addWidget(CBgatherTS, 6, 0, 1, 4);
    lg->addWidget(CBlearnFrequencies, 7, 0, 1, 4);
    lg->addWidget(BtnLearn, 8, 0);
    lg->addWidget(BtnLoad, 8, 1);
    lg->addWidget(BtnSave, 8, 2);
    lg->addWidget(Lstatus, 9, 0, 1, 4);
    // The multiplier and the connector flag show and edit the selected map's.
    connect(LBzmPaths, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= int(settings_.LearnList.size())) return;
        const QSignalBlocker bm(SEzmMultiplier), bc(CBzmConnector);
        SEzmMultiplier->setValue(settings_.LearnList[row].Multiplier);
        CBzmConnector->setChecked(settings_.LearnList[row].Connector);
    });
    connect(SEzmMultiplier, &QSpinBox::valueChanged, this, [this] { LearnEntryChanged(); });
    connect(CBzmConnector, &QCheckBox::toggled, this, [this] { LearnEntryChanged(); });
    connect(CBselectZp, &QCheckBox::clicked, this, [this] { CBselectZpClick(); });
    return learning;
}

QGroupBox* GeneratorSettingsWindow::CreateMapGroup() {
    const ControlMaker make(*this);
    auto [map, mg] = make.Group("Map Settings");
    mg->addWidget(make.Label("Map size x"), 0, 0);
    mg->addWidget(make.Spin("SEsizeX"), 0, 1);
    mg->addWidget(make.Label("Map size y"), 1, 0);
    mg->addWidget(make.Spin("SEsizeY"), 1, 1);
    mg->addWidget(ControlMaker::Radio(map, "RBsingle", "singleplayer"), 2, 0);
    mg->addWidget(ControlMaker::Radio(map, "RBmulti", "multiplayer"), 2, 1);
    return map;
}

QGroupBox* GeneratorSettingsWindow::CreateGeneralGroup() {
    const ControlMaker make(*this);
    auto [general, gg] = make.Group("General");
    gg->addWidget(make.Label("Start from line (considering borders)"), 0, 0);
    gg->addWidget(make.Spin("SEstartingLine"), 0, 1);
    gg->addWidget(make.Check("CBcontinueOldSquares", "Continue existing squares (must be compatible with used *.zp!)"),
                  1, 0, 1, 2);
    return general;
}

QGroupBox* GeneratorSettingsWindow::CreateCalculationsGroup() {
    const ControlMaker make(*this);
    auto [calc, cg] = make.Group("Calculations");
    cg->addWidget(make.Label("Max threads calculating line fragments"), 0, 0);
    cg->addWidget(make.Spin("SEmaxThreads"), 0, 1);
    cg->addWidget(make.Label("Max calculated combinations for fragments  (max = all possible (may work very slow))"),
                  1, 0, 1, 2);
    TBfullness = make.Slider("TBfullness");
    cg->addWidget(TBfullness, 2, 0, 1, 2);
    cg->addWidget(make.Check("CBsimplified1stLine", "Simplified calculation of the first line"), 3, 0, 1, 2);
    return calc;
}

QGroupBox* GeneratorSettingsWindow::CreateRepeatsGroup() {
    const ControlMaker make(*this);
    auto [repeats, rg] = make.Group("Repeats");
    rg->addWidget(make.Label("Schedule of repeats:"), 0, 0);
    rg->addWidget(Named(new QLineEdit(this), "EPlannedRepeats"), 0, 1, 1, 4);
    rg->addWidget(make.Label("[number of local attempts]-[number of lines to repeat];"), 1, 1, 1, 4);
    rg->addWidget(make.Check("CBreduceLAC", "Reduce the local attempts counter at each completion of line"), 2, 0, 1,
                  5);
    rg->addWidget(make.Check("CBfirstAttempts", "Different number of attempts at the beginning"), 3, 0, 1, 4);
    rg->addWidget(make.Spin("SEfirstAttempts"), 3, 4);
    rg->addWidget(make.Check("CBmax1stStatesAttempts",
                             "Number of attempts remembering previous approved squares at the beginning"),
                  4, 0, 1, 4);
    rg->addWidget(make.Spin("SEmax1stStatesAttemtps"), 4, 4);
    CBmaxReturn = make.Check("CBmaxReturn", "Maximum distance from the farthest row");
    rg->addWidget(CBmaxReturn, 5, 0, 1, 4);
    rg->addWidget(make.Spin("SEmaxReturn"), 5, 4);
    rg->addWidget(make.Check("CBlineTmax", "Go back"), 6, 0);
    rg->addWidget(make.Spin("SElineTmaxRows"), 6, 1);
    rg->addWidget(make.Label("rows after"), 6, 2);
    rg->addWidget(make.Spin("SElineTmaxTime"), 6, 3);
    rg->addWidget(make.Label("seconds of"), 6, 4);
    rg->addWidget(make.Label("calculating one row (in one series of local attempts)"), 7, 0, 1, 5);
    rg->addWidget(make.Check("CBfreezer", "Freeze correct fragments;"), 8, 0, 1, 2);
    rg->addWidget(make.Label("Freeze hp:"), 8, 2);
    rg->addWidget(make.Spin("SEfreezer"), 8, 3);
    return repeats;
}

QGroupBox* GeneratorSettingsWindow::CreateCharacteristicsGroup() {
    const ControlMaker make(*this);
    auto [traits, tg] = make.Group("Map Characteristics");
    Chart = new EqChartPanel(settings_.ObjectChart, this);
    tg->addWidget(Chart, 0, 0, 1, 3);
    tg->addWidget(make.Label("Prefer squares"), 1, 0, 1, 3);
    TBnumOfCombs = make.Slider("TBnumOfCombs");
    tg->addWidget(make.Label("never"), 2, 0);
    tg->addWidget(TBnumOfCombs, 2, 1);
    tg->addWidget(make.Label("always"), 2, 2);
    tg->addWidget(ControlMaker::Radio(traits, "RBLnocWay", "with largest number of combinations:"), 3, 0, 1, 3);
    tg->addWidget(ControlMaker::Radio(traits, "RBConnectorsWay", "from connectors group:"), 4, 0, 1, 3);
    tg->addWidget(make.Check("CBavoidTwins", "Disallow neighborhood of identical squares"), 5, 0, 1, 3);
    // The learned tables, shown in the square preview window.
    auto* preview = new SquarePreviewWindow(window_.project(), this);
    auto* objects = make.Button("BtnShowSqWeights", "Show identified objects");
    auto* neighbours = make.Button("BtnShowSqNOC", "Show squares neighbors");
    ShowLearnedTablesOnClick(*preview, objects, neighbours);
    tg->addWidget(objects, 6, 0, 1, 3);
    tg->addWidget(neighbours, 7, 0, 1, 3);
    return traits;
}

// "Show identified objects" and "Show squares neighbors" prepare their table
// of the learned data and show it in `preview`.
void GeneratorSettingsWindow::ShowLearnedTablesOnClick(SquarePreviewWindow& preview, QPushButton* objects,
                                                       QPushButton* neighbours) {
    auto showTable = [this, preview = &preview](PreviewData (*prepare)(const MapGenerator&, UserInterface&),
                                                const char* caption) {
        if (!HasSomethingToShow(generator_, ui_)) return;
        PreviewData data;
        bool prepared = false;
        Run([&] {
            data = prepare(generator_, ui_);
            prepared = true;
        });
        if (!prepared) return;
        preview->Ppi = window_.Ppi();
        preview->Execute(data, QString::fromLatin1(caption));
    };
    connect(objects, &QPushButton::clicked, this, [showTable] { showTable(PrepareSqWeightsTable, SqObjectsCaption); });
    connect(neighbours, &QPushButton::clicked, this,
            [showTable] { showTable(PrepareSqMatchesPreview, SqNeighboursCaption); });
}

QGroupBox* GeneratorSettingsWindow::CreateBackupGroup() {
    const ControlMaker make(*this);
    auto [backup, bg] = make.Group("Backup settings");
    bg->addWidget(make.Check("CBbackup", "Make backup every"), 0, 0);
    bg->addWidget(make.Spin("SEbackup"), 0, 1);
    bg->addWidget(make.Label("lines"), 0, 2);
    bg->addWidget(make.Check("CBsaveCompleted", "Save completed map"), 1, 0, 1, 3);
    Lbackup = Named(new QLabel(this), "Lbackup");
    Lbackup->setCursor(Qt::PointingHandCursor);
    Lbackup->installEventFilter(this);
    bg->addWidget(Lbackup, 2, 0, 1, 3);
    return backup;
}

// The columns of groups side by side. They scroll when the screen is too
// small for them; the progress bar and "Close" stay in sight below.
void GeneratorSettingsWindow::LayOutColumns(const std::vector<std::vector<QGroupBox*>>& columnGroups) {
    auto* columns = new QHBoxLayout;
    for (const std::vector<QGroupBox*>& groups : columnGroups) {
        auto* column = new QVBoxLayout;
        for (QGroupBox* group : groups) column->addWidget(group);
        column->addStretch();
        columns->addLayout(column);
    }
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("Content"));
    content->setLayout(columns);
    columns->setContentsMargins(0, 0, 0, 0);
    Scroll = Named(new WholeContentScrollArea(this), "Scroll");
    Scroll->setFrameShape(QFrame::NoFrame);
    Scroll->setWidgetResizable(true);
    Scroll->setWidget(content);
    auto* whole = new QVBoxLayout(this);
    whole->addWidget(Scroll, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ProgressBar, 1);
    bottom->addStretch();
    bottom->addWidget(BtnClose);
    whole->addLayout(bottom);
}

// Every control of the table of settings writes its field as the user
// changes it; showSetting_ puts the field back into the control.
void GeneratorSettingsWindow::BindSettings() {
    for (const SettingRow& row : GeneratorSettingRows()) {
        QWidget* w = findChild<QWidget*>(Q(row.Control));
        if (!w) continue;
        const SettingRow* r = &row;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            connect(b, &QAbstractButton::toggled, this, [this, r](bool on) {
                VisitSetting(*r, settings_, [on](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, bool>) v = on;
                });
            });
            showSetting_.push_back([this, r, b] {
                VisitSetting(*r, settings_, [b](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, bool>) b->setChecked(v);
                });
            });
        } else if (auto* se = qobject_cast<QSpinBox*>(w)) {
            se->setRange(row.Range.Min, row.Range.Max);
            connect(se, &QSpinBox::valueChanged, this, [this, r](int n) {
                VisitSetting(*r, settings_, [n](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, int>) v = n;
                });
            });
            showSetting_.push_back([this, r, se] {
                VisitSetting(*r, settings_, [se](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, int>) se->setValue(v);
                });
            });
        } else if (auto* tb = qobject_cast<QSlider*>(w)) {
            tb->setRange(row.Range.Min, row.Range.Max);
            tb->setPageStep(1);
            connect(tb, &QSlider::valueChanged, this, [this, r](int n) {
                VisitSetting(*r, settings_, [n](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, int>) v = n;
                });
                UpdateHints();
            });
            showSetting_.push_back([this, r, tb] {
                VisitSetting(*r, settings_, [tb](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, int>) tb->setValue(v);
                });
            });
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            connect(e, &QLineEdit::textEdited, this, [this, r](const QString& text) {
                VisitSetting(*r, settings_, [&text](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) v = text.toStdString();
                });
            });
            showSetting_.push_back([this, r, e] {
                VisitSetting(*r, settings_, [e](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) e->setText(Q(v));
                });
            });
        } else if (auto* l = qobject_cast<QLabel*>(w)) {  // shown only; set by its click
            showSetting_.push_back([this, r, l] {
                VisitSetting(*r, settings_, [r, l](auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) {
                        l->setText(Q(TextAsShown(*r, v)));
                        l->setToolTip(l->text());
                    }
                });
            });
        }
    }
    // The other button of each radio pair.
    auto pair = [this](const char* other, bool GeneratorSettings::*field) {
        auto* rb = findChild<QRadioButton*>(QString::fromLatin1(other));
        showSetting_.push_back([this, rb, field] { rb->setChecked(!(settings_.*field)); });
    };
    pair("RBsingle", &GeneratorSettings::Multiplayer);
    pair("RBConnectorsWay", &GeneratorSettings::PreferMostCombinations);
}

void GeneratorSettingsWindow::ShowSettings() {
    for (auto& show : showSetting_) {
        show();
    }
    CBselectZp->setText(Q(SelectZpCaption(settings_.ForceTileSet, window_.project().ZpPath)));
    ShowLearnList(-1);
    Chart->ShowChart();
    UpdateHints();
}

void GeneratorSettingsWindow::UpdateHints() {
    TBfullness->setToolTip(Q(FullnessHint(settings_.CombinationsLimitPosition)));
    TBnumOfCombs->setToolTip(Q(NumOfCombsHint(settings_.SquarePreferencePosition)));
    CBmaxReturn->setToolTip(app::ShownText(MaxReturnHint(generator_.TallestObject)));
}

// The window's bar follows the main window's: shown, hidden and moved with it.
void GeneratorSettingsWindow::MirrorMainProgress() {
    QProgressBar* main = window_.ProgressBar();
    if (!main) return;
    connect(main, &QProgressBar::valueChanged, ProgressBar, &QProgressBar::setValue);
    main->installEventFilter(this);
}

bool GeneratorSettingsWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Lbackup && e->type() == QEvent::MouseButtonRelease) {
        LbackupClick();
        return true;
    }
    if (watched != Lbackup && watched->objectName() == QLatin1String("ProgressBar")) {
        if (e->type() == QEvent::Show) ProgressBar->show();
        if (e->type() == QEvent::Hide) ProgressBar->hide();
    }
    return QDialog::eventFilter(watched, e);
}

QSize WholeContentScrollArea::sizeHint() const {
    const int frame = 2 * frameWidth();
    return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
}

// As large as its content wants, but no larger than the area (with the
// frame the system adds), centred on the main window and kept in the area.
void GeneratorSettingsWindow::FitTo(const QRect& area) {
    const bool framed = frameGeometry() != geometry();  // known once the system has shown it
    // Before that, room for a title bar and the borders the system adds
    // (8 pixels each side on Windows, with its invisible resize borders).
    constexpr int Border = 8;
    const QSize margins = framed ? frameGeometry().size() - size()
                                 : QSize(2 * Border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * Border);
    const QSize room = area.size() - margins;
    // The whole settings (adjustSize would stop at two thirds of the
    // screen), with room for a scroll bar where the other side scrolls.
    // The layouts keep the sizes their controls wanted when first asked,
    // before the window was shown and the settings put in (wider numbers,
    // texts): without asking anew, the window came out narrower than its
    // content, with a scroll bar and the last column cut.
    for (QWidget* w : findChildren<QWidget*>()) w->updateGeometry();
    for (QLayout* l : findChildren<QLayout*>()) l->invalidate();
    QSize wanted = sizeHint();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (wanted.height() > room.height()) wanted.rwidth() += bar;
    if (wanted.width() > room.width()) wanted.rheight() += bar;
    resize(wanted.boundedTo(room));
    QRect frame(QPoint(), size() + margins);
    frame.moveCenter(window_.Widget().frameGeometry().center());
    frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    move(frame.topLeft());
}

void GeneratorSettingsWindow::Execute() {
    ShowSettings();
    const QWidget& owner = window_.Widget();
    const QScreen* screen = owner.screen() ? owner.screen() : QGuiApplication::primaryScreen();
    if (screen) FitTo(screen->availableGeometry());
    exec();
}

}  // namespace zorvane::generator_ui
