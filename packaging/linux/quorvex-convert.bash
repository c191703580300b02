# bash completion for quorvex-convert
_quorvex_convert() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    case $prev in
        --attr | --genba | --zone)
            return  # a column, a free text or a zone number
            ;;
        --combine)
            COMPREPLY=($(compgen -f -X '!*.@(sim|SIM)' -- "$cur") $(compgen -d -- "$cur"))
            compopt -o filenames 2>/dev/null
            return
            ;;
        --svg)
            COMPREPLY=($(compgen -f -X '!*.@(svg|SVG)' -- "$cur") $(compgen -d -- "$cur"))
            compopt -o filenames 2>/dev/null
            return
            ;;
        --batch)
            COMPREPLY=($(compgen -f -X '!*.@(txt|TXT)' -- "$cur") $(compgen -d -- "$cur"))
            compopt -o filenames 2>/dev/null
            return
            ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--attr --genba --no-parcels --no-routes --no-swap --close --zone
            --verbose --combine --batch --columns --svg --help --version' -- "$cur"))
        return
    fi
    COMPREPLY=($(compgen -f -X '!*.@(mif|MIF|sim|SIM)' -- "$cur") $(compgen -d -- "$cur"))
    compopt -o filenames 2>/dev/null
}
complete -F _quorvex_convert quorvex-convert
