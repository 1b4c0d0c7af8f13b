#include "app/gui/FtpServerDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/FtpHostField.h"
#include "app/widgets/OkCancelButtons.h"
#include "app/widgets/ProblemLabel.h"
#include "engine/catalog/UrlAuthority.h"

namespace tovan {

namespace {

QString text_of(const std::string& text) {
    return QString::fromStdString(text);
}

// Wide enough for a long host name, in characters of the font in use.
int field_width(const QWidget* widget, int characters) {
    return widget->fontMetrics().averageCharWidth() * characters;
}

}  // namespace

std::optional<FtpServerForm> FtpServerDialog::ask(QWidget* parent, const TreeEntry* existing) {
    FtpServerDialog dialog(existing != nullptr ? FtpServerForm::of(*existing) : FtpServerForm(),
                           parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.form();
}

FtpServerDialog::FtpServerDialog(const FtpServerForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
    setObjectName("ftpServer");
    setWindowTitle(tr("FTP Server"));
    auto* layout = new QVBoxLayout(this);
    fields_ = new QFormLayout;
    layout->addLayout(fields_);
    const FtpSettings& settings = form.settings;
    host_ = add_field("host", tr("&Host or IP:"), UrlAuthority::url_host(settings.host));
    host_->setPlaceholderText(tr("ftp.example.org, or a whole ftp:// or sftp:// URL"));
    host_->setMinimumWidth(field_width(this, 48));
    host_problem_ = new ProblemLabel(this);
    host_problem_->setObjectName("hostProblem");
    fields_->addRow(static_cast<QWidget*>(nullptr), host_problem_);
    name_ = add_field("name", tr("Display &name:"), form.name);
    login_ = add_field("login", tr("&Login:"), settings.login);
    password_ = add_field("password", tr("&Password:"), settings.password);
    password_->setEchoMode(QLineEdit::Password);
    folder_ = add_field("folder", tr("Base &folder:"), form.folder);
    port_ = add_number("port", settings.port);
    fields_->addRow(tr("P&ort:"), port_);
    passive_ = new QCheckBox(tr("Pa&ssive mode"), this);
    passive_->setObjectName("passive");
    passive_->setChecked(settings.passive);
    secure_ = new QCheckBox(tr("Require &TLS (ftps://)"), this);
    secure_->setObjectName("secure");
    secure_->setChecked(form.secure);
    ssh_ = new QCheckBox(tr("S&FTP, over SSH (sftp://)"), this);
    ssh_->setObjectName("ssh");
    ssh_->setChecked(form.ssh);
    fields_->addRow(passive_);
    fields_->addRow(secure_);
    fields_->addRow(ssh_);
    passive_->setDisabled(form.ssh);
    secure_->setDisabled(form.ssh);
    connect(ssh_, &QCheckBox::toggled, this, &FtpServerDialog::ssh_toggled);
    layout->addLayout(connection_boxes());

    auto* buttons = new OkCancelButtons(this);
    ok_ = buttons->ok();
    layout->addWidget(buttons);

    name_follows_host_ = form.name.empty() || form.name == settings.host;
    connect(host_, &QLineEdit::textEdited, this, &FtpServerDialog::host_edited);
    connect(host_, &QLineEdit::editingFinished, this, &FtpServerDialog::take_host_apart);
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { name_follows_host_ = text.isEmpty(); });
    host_edited(host_->text());
    host_->setFocus();
}

QLineEdit* FtpServerDialog::add_field(const char* name, const QString& label,
                                      const std::string& text) {
    auto* field = new QLineEdit(text_of(text), this);
    field->setObjectName(name);
    fields_->addRow(label, field);
    return field;
}

QLineEdit* FtpServerDialog::add_number(const char* name, std::uint32_t value) {
    auto* field = new QLineEdit(QString::number(value), this);
    field->setObjectName(name);
    // Digits only; the range is checked on OK, so a wrong number is never changed silently.
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), field));
    field->setMaximumWidth(field_width(this, 10));
    return field;
}

QLayout* FtpServerDialog::connection_boxes() {
    auto* limit = new QGroupBox(tr("Connections limit"), this);
    auto* limit_row = new QHBoxLayout(limit);
    automatic_ = new QRadioButton(tr("&Automatic"), limit);
    automatic_->setObjectName("automatic");
    manual_ = new QRadioButton(tr("&Manual:"), limit);
    manual_->setObjectName("manual");
    connections_ = add_number("connections", form_.connections);
    (form_.automatic_connections ? automatic_ : manual_)->setChecked(true);
    connections_->setEnabled(manual_->isChecked());
    connect(manual_, &QRadioButton::toggled, connections_, &QLineEdit::setEnabled);
    limit_row->addWidget(automatic_);
    limit_row->addWidget(manual_);
    limit_row->addWidget(connections_);
    limit_row->addStretch();

    auto* advanced = new QGroupBox(tr("Advanced"), this);
    auto* advanced_row = new QHBoxLayout(advanced);
    delay_ = add_number("delay", form_.delay);
    auto* delay_label = new QLabel(tr("&Delay:"), advanced);
    delay_label->setBuddy(delay_);
    advanced_row->addWidget(delay_label);
    advanced_row->addWidget(delay_);
    advanced_row->addWidget(new QLabel(tr("ms after each listing"), advanced));
    advanced_row->addStretch();

    auto* boxes = new QVBoxLayout;
    boxes->addWidget(limit);
    boxes->addWidget(advanced);
    return boxes;
}

// OK waits for a host it can use; the name follows the host, never a password.
void FtpServerDialog::host_edited(const QString& text) {
    std::string problem;
    const std::optional<FtpHostField> field = FtpHostField::read(text.toStdString(), problem);
    ok_->setEnabled(field.has_value());
    host_problem_->set_problem(field || text.trimmed().isEmpty() ? QString() : text_of(problem));
    if (name_follows_host_)
        name_->setText(field ? text_of(field->host) : QString());
}

void FtpServerDialog::take_host_apart() {
    std::string problem;
    const std::optional<FtpHostField> field =
        FtpHostField::read(host_->text().toStdString(), problem);
    if (!field)
        return;
    host_->setText(text_of(UrlAuthority::url_host(field->host)));
    if (field->login)
        login_->setText(text_of(*field->login));
    if (field->password)
        password_->setText(text_of(*field->password));
    if (field->port)
        port_->setText(QString::number(*field->port));
    if (field->folder)
        folder_->setText(text_of(*field->folder));
    if (field->secure)
        secure_->setChecked(*field->secure);
    if (field->ssh)
        ssh_->setChecked(*field->ssh);
}

// Passive mode and TLS are FTP's; the usual port follows the protocol.
void FtpServerDialog::ssh_toggled(bool ssh) {
    passive_->setDisabled(ssh);
    secure_->setDisabled(ssh);
    const QString from = QString::number(default_port(ssh ? ServerKind::Ftp : ServerKind::Sftp));
    if (port_->text() == from)
        port_->setText(QString::number(default_port(ssh ? ServerKind::Sftp : ServerKind::Ftp)));
}

bool FtpServerDialog::number_in_range(QLineEdit* field, FtpServerForm::Range range,
                                      std::uint32_t& out) {
    if (const auto number = FtpServerForm::number(field->text().toStdString(), range)) {
        out = *number;
        return true;
    }
    QMessageBox::warning(
        this, windowTitle(),
        tr("Please enter an integer between %1 and %2.").arg(range.min).arg(range.max));
    field->setFocus();
    field->selectAll();
    return false;
}

void FtpServerDialog::accept() {
    take_host_apart();
    std::string problem;
    const std::optional<FtpHostField> host =
        FtpHostField::read(host_->text().toStdString(), problem);
    if (!host)
        return;
    FtpServerForm form = form_;
    if (!number_in_range(port_, FtpServerForm::PortRange, form.settings.port) ||
        (manual_->isChecked() &&
         !number_in_range(connections_, FtpServerForm::ConnectionsRange, form.connections)) ||
        !number_in_range(delay_, FtpServerForm::DelayRange, form.delay))
        return;
    form.settings.host = host->host;
    form.settings.login = login_->text().toStdString();
    form.settings.password = password_->text().toStdString();
    form.settings.passive = passive_->isChecked();
    form.secure = secure_->isChecked();
    form.ssh = ssh_->isChecked();
    form.folder = folder_->text().toStdString();
    form.automatic_connections = automatic_->isChecked();
    form.name = name_->text().trimmed().toStdString();
    if (form.name.empty())
        form.name = host->host;
    form_ = form;
    QDialog::accept();
}

}  // namespace tovan
