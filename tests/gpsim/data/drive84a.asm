; Copies RB0 to RA0 for ever, counting its rounds in Count (PIC16F84A).
        list    p=16f84a
        include <p16f84a.inc>
        __config _WDT_OFF & _XT_OSC & _CP_OFF & _PWRTE_OFF
        cblock  0x0C
        Count
        Copy
        endc
        org     0x000
        bsf     STATUS, RP0
        movlw   0xFE
        movwf   TRISA           ; RA0 an output, the rest inputs
        movlw   0xFF
        movwf   TRISB           ; PORTB all inputs
        bcf     STATUS, RP0
        clrf    Count
        clrf    PORTA
loop    incf    Count, f
        movf    PORTB, w
        movwf   Copy
        btfss   Copy, 0
        goto    rb0low
        bsf     PORTA, 0
        goto    loop
rb0low  bcf     PORTA, 0
        goto    loop
        end
