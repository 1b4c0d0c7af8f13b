# fish completion for ferrovane-cli: commands, their options, and the names of
# the groups and servers of the data folder (from `ferrovane-cli list --names`).

set -l commands add remove depth group rename trust list sync status watch changes unmark search download jobs filter options export import help

function __ferrovane_cli_names
    set -l tokens (commandline -opc)
    set -l data
    if set -l at (contains -i -- --data-dir $tokens)
        set data --data-dir $tokens[(math $at + 1)]
    end
    $tokens[1] $data list --names 2>/dev/null
end

complete -c ferrovane-cli -f
complete -c ferrovane-cli -l data-dir -r -a '(__fish_complete_directories)' -d 'Data folder'
complete -c ferrovane-cli -l json -d 'One JSON object per line'
complete -c ferrovane-cli -l version -d 'Show the version'
complete -c ferrovane-cli -s h -l help -d 'Show the help'

set -l none "not __fish_seen_subcommand_from $commands"
complete -c ferrovane-cli -n $none -a add -d 'Watch a local folder, SMB share, FTP or SFTP server'
complete -c ferrovane-cli -n $none -a remove -d 'Stop watching a server, or remove a group'
complete -c ferrovane-cli -n $none -a depth -d 'Set the scan depth of a server or a folder'
complete -c ferrovane-cli -n $none -a group -d 'Groups of servers'
complete -c ferrovane-cli -n $none -a rename -d 'Give a server another name'
complete -c ferrovane-cli -n $none -a trust -d "Trust a server's TLS certificate or a CA file"
complete -c ferrovane-cli -n $none -a list -d 'Show the servers with their state, counts and sizes'
complete -c ferrovane-cli -n $none -a sync -d 'Scan servers now and show what changed'
complete -c ferrovane-cli -n $none -a status -d 'Check now which servers are online'
complete -c ferrovane-cli -n $none -a watch -d 'Scan on the schedule until stopped'
complete -c ferrovane-cli -n $none -a changes -d 'Show what the scans marked'
complete -c ferrovane-cli -n $none -a unmark -d 'Mark changes as viewed'
complete -c ferrovane-cli -n $none -a search -d 'Find files in the catalogs by masks'
complete -c ferrovane-cli -n $none -a download -d 'Download a URL, or a file or folder of the catalog'
complete -c ferrovane-cli -n $none -a jobs -d 'Show or change the download jobs'
complete -c ferrovane-cli -n $none -a filter -d 'The change filter'
complete -c ferrovane-cli -n $none -a options -d 'Show or set the options'
complete -c ferrovane-cli -n $none -a export -d 'Write a server or group with its catalogs to a file'
complete -c ferrovane-cli -n $none -a import -d 'Add the servers of an exported file'
complete -c ferrovane-cli -n $none -a help -d 'Show the help of the program or of a command'

# Arguments that name a group or server.
complete -c ferrovane-cli -n '__fish_seen_subcommand_from remove rename trust depth sync status changes unmark export download' -a '(__ferrovane_cli_names)'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add import group' -l group -x -a '(__ferrovane_cli_names)' -d 'Group to put it in'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from help' -a "$commands"

complete -c ferrovane-cli -n '__fish_seen_subcommand_from add' -F
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add' -l name -x -d 'Name to show and to use in commands'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add' -l depth -x -a 'none 1 2 3 4 5 6 full' -d 'Scan depth'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add' -l connections -x -d 'Scan connections: 1 to 100 or auto'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add' -l delay -x -d 'Pause after each listing, in ms'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add' -l active -d 'FTP active mode'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add' -l password-stdin -d 'Read the password from stdin'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add sync' -l trust-certificate -x -d 'SHA-256 fingerprint of the certificate to trust'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add trust' -l ca-file -r -F -d 'Authorities to check the certificate by'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from add' -l accept-host-key -d 'Accept the SFTP host key without asking'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from trust' -l forget -d 'Trust the system authorities alone again'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from list' -l no-check -d "Don't check which servers are online"
complete -c ferrovane-cli -n '__fish_seen_subcommand_from list' -l names -d 'Print only the names of the groups and servers'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from watch' -l on-change -x -d 'Run this command after each scan that found changes'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from search' -l in -x -a '(__ferrovane_cli_names)' -d 'Where to look'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from search' -l min-size -x -d 'Only files of at least this size'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from search download' -l changed -d 'Only entries marked'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from search' -l dirs -d 'Folders may be found too'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from search' -l online -d 'Only servers online now'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from search' -s 0 -l print0 -d 'End each location with a NUL'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from download' -l to -x -a '(__fish_complete_directories)' -d 'Folder to download into'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from download resume again' -l tries -x -d 'Give up after this many failed tries in a row'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from import' -F
complete -c ferrovane-cli -n '__fish_seen_subcommand_from group; and not __fish_seen_subcommand_from add list rename remove' -a 'add list rename remove'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from group; and __fish_seen_subcommand_from rename remove' -a '(__ferrovane_cli_names)'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from group; and __fish_seen_subcommand_from remove' -l with-servers -d 'Remove the servers in it too'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from jobs; and not __fish_seen_subcommand_from pause resume again remove' -a 'pause resume again remove'
complete -c ferrovane-cli -n '__fish_seen_subcommand_from filter; and not __fish_seen_subcommand_from list add remove' -a 'list add remove'
