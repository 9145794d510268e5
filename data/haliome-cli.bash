# Bash completion of haliome-cli: its subcommands, then each one's options
# and their fixed values; files everywhere else.
_haliome_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="import fit tides predict pdf stations station"
    local port="--tz --datum --help"
    local nodal="--nodal --no-nodal"
    case $prev in
        --format)
            case ${COMP_WORDS[1]} in
                tides) COMPREPLY=($(compgen -W "text csv ics json" -- "$cur")) ;;
                predict) COMPREPLY=($(compgen -W "csv json text" -- "$cur")) ;;
                stations) COMPREPLY=($(compgen -W "text json" -- "$cur")) ;;
            esac
            return ;;
        --units) COMPREPLY=($(compgen -W "m ft" -- "$cur")); return ;;
        --unit) COMPREPLY=($(compgen -W "m cm mm ft" -- "$cur")); return ;;
        --from|--to|--step|--year|--zone|--name|--tz|--datum|--station|--compare|--rayleigh|--near|--country)
            return ;;
    esac
    if [[ $COMP_CWORD -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    if [[ $cur == -* ]]; then
        local options
        case ${COMP_WORDS[1]} in
            import) options="-o --output --zone --unit --name --from --to $port" ;;
            fit) options="-o --output --known --shallow --joint --rayleigh --compare $nodal $port" ;;
            tides) options="--station --from --to --utc --units --format $nodal $port" ;;
            predict) options="--station --from --to --utc --units --step --format $nodal $port" ;;
            pdf) options="--station --year -o --output $nodal $port" ;;
            stations) options="--near --country --format --all --help" ;;
            station) options="-o --output --year --help" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -o filenames -F _haliome_cli haliome-cli
