#include "model/SystemPresets.h"

#include "model/ToolScript.h"

#include <utility>

namespace vima {

namespace {

// A region screenshot tool: how it puts the region on the clipboard (either
// itself, or by filling the file named last through `set --`, which xclip then
// copies) and how it saves to the file named last.
struct Screenshooter {
    const char *tool;
    const char *toClipboard;
    bool copiesItself;
    const char *toFile;
};

constexpr Screenshooter screenshooters[] = {
    {"gnome-screenshot", "exec gnome-screenshot -a -c", true, "set -- gnome-screenshot -a -f"},
    {"spectacle", "exec spectacle -b -n -r -c", true, "set -- spectacle -b -n -r -o"},
    {"xfce4-screenshooter", "exec xfce4-screenshooter -r -c", true, "set -- xfce4-screenshooter -r -s"},
    {"flameshot", "exec flameshot gui --clipboard", true, "set -- flameshot gui -p"},
    {"maim", "set -- maim -s", false, "set -- maim -s"},
    {"scrot", "set -- scrot -s", false, "set -- scrot -s"},
    {"import", "set -- import", false, "set -- import"},
};

const QString desktopScreenshooters = QStringLiteral("gnome-screenshot, spectacle, xfce4-screenshooter");

ActionPreset system(const char *id, const char *title, const char *symbol, const char *summary,
                    const char *keywords, ItemAction action)
{
    return ActionPreset{QString::fromUtf8(id),
                        QString::fromUtf8(title),
                        QString::fromUtf8(summary),
                        IconSpec::symbol(QString::fromUtf8(symbol)),
                        ActionCategory::system,
                        QString::fromUtf8(keywords).split(QStringLiteral(", ")),
                        std::move(action),
                        false};
}

// Scripts are POSIX sh: /bin/sh runs them whatever the user's login shell is.
ItemAction shell(const QString &script, bool showOutput)
{
    return ItemAction{ShellPayload{script, QStringLiteral("/bin/sh"), showOutput}};
}

QString snipToClipboard()
{
    QList<ToolChoice> choices;
    for (const Screenshooter &entry : screenshooters) {
        QStringList tools{QString::fromLatin1(entry.tool)};
        if (!entry.copiesItself)
            tools.append(QStringLiteral("xclip"));
        choices.append({tools, {}, QString::fromLatin1(entry.toClipboard)});
    }
    // Through a file: a cancelled drag must leave the clipboard as it was.
    return ToolChoice::firstInstalled(choices, ToolChoice::failWith(QStringLiteral("Snip needs a screenshot tool: install %1 or flameshot, "
                                                                                   "or maim (or scrot, or imagemagick) "
                                                                                   "with xclip.")
                                                                        .arg(desktopScreenshooters)))
        + QStringLiteral("d=$(mktemp -d) || exit 1\n"
                         "\"$@\" \"$d/snip.png\" && xclip -selection clipboard -t image/png -i \"$d/snip.png\"\n"
                         "s=$?\n"
                         "rm -rf \"$d\"\n"
                         "exit \"$s\"\n");
}

QString snipToFile()
{
    QList<ToolChoice> choices;
    for (const Screenshooter &entry : screenshooters)
        choices.append({{QString::fromLatin1(entry.tool)}, {}, QString::fromLatin1(entry.toFile)});
    return ToolChoice::firstInstalled(choices, ToolChoice::failWith(QStringLiteral("Snip to File needs a screenshot tool: install "
                                                                                   "%1, flameshot, maim, scrot or "
                                                                                   "imagemagick.")
                                                                        .arg(desktopScreenshooters)))
        + ToolChoice::firstInstalled(
               {{{QStringLiteral("xdg-user-dir")}, {}, QStringLiteral("d=$(xdg-user-dir PICTURES)")}},
               QStringLiteral("d="))
        // An unset Pictures folder is reported as the home folder.
        + QStringLiteral("if [ -z \"$d\" ] || [ \"$d\" = \"$HOME\" ]; then d=\"$HOME/Pictures\"; fi\n")
        + QStringLiteral("mkdir -p \"$d\" && \"$@\" \"$d/Screenshot $(date '+%Y-%m-%d at %H.%M.%S').png\"\n");
}

QString colourPicker()
{
    QList<ToolChoice> choices;
    for (const char *tool : {"gpick", "kcolorchooser", "gcolor3"}) {
        const QString name = QString::fromLatin1(tool);
        choices.append({{name}, {}, name + QStringLiteral(" >/dev/null 2>&1 &")});
    }
    return ToolChoice::firstInstalled(
        choices, ToolChoice::failWith(QStringLiteral("Color Picker needs a colour picker: install gpick, "
                                                     "kcolorchooser or gcolor3.")));
}

QString plainTextClipboard()
{
    // Only text is stripped: an image or nothing stays as it is (xclip, as
    // the owner of an image, answers any type with the image's bytes). Read to
    // a file first: a failed read must not empty the clipboard.
    return ToolChoice::firstInstalled(
        {{{QStringLiteral("xclip")}, {},
          QStringLiteral("k=$(xclip -selection clipboard -o -t TARGETS 2>/dev/null |\n"
                         "  grep -x -i -m 1 -e UTF8_STRING -e 'text/plain;charset=utf-8')\n"
                         "[ -n \"$k\" ] || exit 0\n"
                         "t=$(mktemp) || exit 1\n"
                         "xclip -selection clipboard -o -t \"$k\" >\"$t\" && xclip -selection clipboard -i \"$t\"\n"
                         "s=$?\n"
                         "rm -f \"$t\"\n"
                         "exit \"$s\"")}},
        ToolChoice::failWith(QStringLiteral("Strip Format needs xclip: install xclip.")));
}

QString darkMode()
{
    const QString kdeglobals = QStringLiteral("\"${XDG_CONFIG_HOME:-$HOME/.config}/kdeglobals\"");
    return ToolChoice::firstInstalled(
        {{{QStringLiteral("plasma-apply-colorscheme")}, QStringLiteral("[ -n \"${KDE_FULL_SESSION:-}\" ]"),
          QStringLiteral("if grep -qs '^ColorScheme=.*Dark' %1; then\n"
                         "  plasma-apply-colorscheme BreezeLight\n"
                         "else\n"
                         "  plasma-apply-colorscheme BreezeDark\n"
                         "fi")
              .arg(kdeglobals)},
         {{QStringLiteral("xfconf-query")},
          QStringLiteral("xfconf-query -c xsettings -p /Net/ThemeName >/dev/null 2>&1"),
          QStringLiteral("t=$(xfconf-query -c xsettings -p /Net/ThemeName)\n"
                         "if [ \"${t%-dark}\" != \"$t\" ]; then n=${t%-dark}; else n=\"$t-dark\"; fi\n"
                         "xfconf-query -c xsettings -p /Net/ThemeName -s \"$n\"")},
         {{QStringLiteral("gsettings")}, {},
          QStringLiteral("k='org.gnome.desktop.interface color-scheme'\n"
                         "if [ \"$(gsettings get $k)\" = \"'prefer-dark'\" ]; then s=default; else s=prefer-dark; fi\n"
                         "gsettings set $k \"$s\"")}},
        ToolChoice::failWith(QStringLiteral("Dark Mode needs gsettings (GNOME), xfconf-query in an Xfce session "
                                            "or plasma-apply-colorscheme in a Plasma session: install "
                                            "libglib2.0-bin.")));
}

QString displayOff()
{
    // A second's grace: the hand still on the mouse would wake it at once.
    return ToolChoice::firstInstalled(
        {{{QStringLiteral("xset")}, {}, QStringLiteral("sleep 1\nxset dpms force off")}},
        ToolChoice::failWith(QStringLiteral("Sleep Screen needs xset: install x11-xserver-utils.")));
}

QString network()
{
    // The local address, then the public one as a lookup service sees it.
    return ToolChoice::firstInstalled(
               {{{QStringLiteral("ip")}, {},
                 QStringLiteral("l=$(ip -4 route get 1.1.1.1 2>/dev/null | sed -n 's/.* src \\([0-9.]*\\).*/\\1/p')")},
                {{QStringLiteral("hostname")}, {},
                 QStringLiteral("l=$(hostname -I 2>/dev/null | cut -d ' ' -f 1)")}},
               ToolChoice::failWith(QStringLiteral("Network needs ip: install iproute2.")))
        + ToolChoice::firstInstalled(
               {{{QStringLiteral("curl")}, {}, QStringLiteral("p=$(curl -s --max-time 4 https://api.ipify.org)")},
                {{QStringLiteral("wget")}, {}, QStringLiteral("p=$(wget -q -T 4 -O - https://api.ipify.org)")}},
               QStringLiteral("p='unavailable (install curl)'"))
        + QStringLiteral("echo \"Local: ${l:-not connected}\"\n"
                         "echo \"Public: ${p:-unavailable}\"\n");
}

} // namespace

QList<ActionPreset> systemPresets()
{
    return {
        system("system.screenshot-clipboard", "Snip", "camera.viewfinder",
               "Drag a region; it lands on the clipboard.", "screenshot, capture, clipboard, region",
               shell(snipToClipboard(), false)),
        system("system.screenshot-file", "Snip to File", "photo.badge.arrow.down",
               "Drag a region; it saves to your Pictures folder.", "screenshot, capture, save, pictures",
               shell(snipToFile(), false)),
        system("system.color-meter", "Color Picker", "eyedropper", "Opens a colour picker.",
               "colour, hex, eyedropper, pick", shell(colourPicker(), false)),
        system("system.paste-plain", "Strip Format", "doc.plaintext",
               "Replaces the clipboard with its plain-text version.", "plain text, clipboard, paste, formatting",
               shell(plainTextClipboard(), false)),
        system("system.toggle-dark", "Dark Mode", "circle.lefthalf.filled", "Switches the system appearance.",
               "appearance, theme, light, dark", shell(darkMode(), false)),
        system("system.sleep-display", "Sleep Screen", "moon", "Turns the display off after a second.",
               "lock, display, off, screen", shell(displayOff(), false)),
        system("system.new-finder", "New Window", "folder.badge.plus", "Opens a new file manager window at Home.",
               "file manager, files, home", ItemAction{OpenPayload{QStringLiteral("~")}}),
        system("system.downloads", "Downloads", "folder", "Opens your Downloads folder.", "files, folder, downloads",
               ItemAction{OpenPayload{QStringLiteral("~/Downloads")}}),
        system("system.wifi-info", "Network", "wifi", "Shows your current IP addresses.",
               "ip, wifi, network, address", shell(network(), true)),
    };
}

} // namespace vima
