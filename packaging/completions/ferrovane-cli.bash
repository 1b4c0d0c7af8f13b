# bash completion for ferrovane-cli: commands, their options, and the names of
# the groups and servers of the data folder (from `ferrovane-cli list --names`).

# Adds the names that start with $cur to COMPREPLY, one word each even with
# spaces in them.
_ferrovane_cli_names() {
    local data=() name
    [[ -n $1 ]] && data=(--data-dir "$1")
    while IFS= read -r name; do
        [[ $name == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
    done < <("${words[0]}" "${data[@]}" list --names 2>/dev/null)
}

_ferrovane_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="add remove depth group rename trust list sync status watch changes unmark
        search download jobs filter options export import help"
    local global="--data-dir --json --help --version"
    local command="" subcommand="" data_dir="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --data-dir) data_dir=${words[i + 1]}; ((i++)) ;;
            --data-dir=*) data_dir=${words[i]#--data-dir=} ;;
            -*) ;;
            *)
                if [[ -z $command ]]; then
                    command=${words[i]}
                elif [[ -z $subcommand && $command =~ ^(group|jobs|filter)$ ]]; then
                    subcommand=${words[i]}
                fi
                ;;
        esac
    done
    data_dir=${data_dir/#\~/$HOME}

    case $prev in
        --data-dir | --to)
            _filedir -d
            return
            ;;
        --ca-file)
            _filedir
            return
            ;;
        --group | --in)
            _ferrovane_cli_names "$data_dir"
            return
            ;;
        --depth)
            COMPREPLY=($(compgen -W "none 1 2 3 4 5 6 full" -- "$cur"))
            return
            ;;
        --connections | --delay | --min-size | --tries | --on-change | --trust-certificate)
            return
            ;;
    esac

    local options="" names=no
    case $command in
        "") COMPREPLY=($(compgen -W "$commands $global" -- "$cur")); return ;;
        add) options="--group --name --depth --connections --delay --active --password-stdin
            --trust-certificate --ca-file --accept-host-key" ;;
        remove | rename | depth | status | changes | unmark | export) names=yes ;;
        sync) options="--trust-certificate" names=yes ;;
        trust) options="--ca-file --forget" names=yes ;;
        list) options="--no-check --names" ;;
        watch) options="--on-change" ;;
        search) options="--in --min-size --changed --dirs --online -0 --print0" ;;
        download) options="--to --changed --tries" names=yes ;;
        import) options="--group" ;;
        help) COMPREPLY=($(compgen -W "$commands" -- "$cur")); return ;;
        group)
            case $subcommand in
                "") COMPREPLY=($(compgen -W "add list rename remove" -- "$cur")); return ;;
                add) options="--group" ;;
                rename) names=yes ;;
                remove) options="--with-servers" names=yes ;;
            esac
            ;;
        jobs)
            case $subcommand in
                "") COMPREPLY=($(compgen -W "pause resume again remove" -- "$cur")); return ;;
                resume | again) options="--tries" ;;
            esac
            ;;
        filter)
            [[ -z $subcommand ]] && { COMPREPLY=($(compgen -W "list add remove" -- "$cur")); return; }
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options $global" -- "$cur"))
    elif [[ $names == yes ]]; then
        _ferrovane_cli_names "$data_dir"
        [[ $command == download ]] && _filedir
    elif [[ $command == import ]]; then
        _filedir srv
    fi
}

complete -F _ferrovane_cli ferrovane-cli
